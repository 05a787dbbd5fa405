#include "ui/MainWindow.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

#include "app/DataPaths.h"
#include "app/Version.h"
#include "doc/Document.h"
#include "doc/Messages.h"
#include "export/AnimationExport.h"
#include "export/AviWriter.h"
#include "export/ExportMessages.h"
#include "export/Snapshot.h"
#include "graphics/SceneModel.h"
#include "lang/CommandInterpreter.h"
#include "ui/AboutDialog.h"
#include "ui/AnimationExportDialogs.h"
#include "ui/ConsolePane.h"
#include "ui/HelpLauncher.h"
#include "ui/Icons.h"
#include "ui/MathDialog.h"
#include "ui/PlotDialog.h"
#include "ui/RecentFiles.h"
#include "ui/RecoveryFile.h"
#include "ui/ScenePane.h"
#include "ui/SettingsDialog.h"
#include "ui/TransformDialog.h"
#include "ui/UiMessages.h"

namespace kv {

namespace {

QString u(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// The menu commands by their ids.
enum Command : int {
    kNew = 57600,
    kOpen = 57601,
    kSave = 247,
    kSnapshot = 134,
    kExportAnimation = 245,
    kExit = 57665,
    kRecompute = 239,
    kSimplify = 144,
    kEvaluate = 158,
    kSolve = 139,
    kLimit = 143,
    kDerivative = 141,
    kIntegrate = 142,
    kLcm = 213,
    kGcd = 214,
    kSubstitute = 198,
    kExplicitCurve = 135,
    kExplicitSurface = 136,
    kParametricCurve = 137,
    kImplicitCurve = 190,
    kTaylor = 262,
    kImplicitSurface = 263,
    kRotationSurface = 264,
    kRotateXY = 171,
    kRotateYZ = 172,
    kRotateXZ = 173,
    kTranslateXY = 177,
    kScaleX = 174,
    kScaleY = 175,
    kScaleZ = 176,
    kManualTransform = 230,
    kSolidWire = 183,
    kSolid = 182,
    kWire = 180,
    kWireHidden = 181,
    kBoundingBox = 184,
    kAxes = 225,
    kLabels = 212,
    kSmooth = 186,
    kFlat = 187,
    kAntialias = 232,
    kAnimate = 201,
    kReverse = 220,
    kFrameForward = 222,
    kFrameBackward = 223,
    kResetView = 169,
    kRemoveAll = 211,
    kSettings = 246,
    kAbout = 57664,
    kHelp = 249,
    kWeb = 261,
};

// Ano, Ne and Zrušit; Escape and closing the box mean Zrušit.
QMessageBox::StandardButton askYesNoCancel(QWidget* parent, const char* text) {
    return QMessageBox::question(parent, u(uimsg::kProgramName), u(text),
                                 QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                                 QMessageBox::Cancel);
}

void warn(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, u(uimsg::kProgramName), text);
}

}  // namespace

MainWindow::MainWindow()
    : sceneModel_(std::make_unique<SceneModel>()),
      ci_(std::make_unique<CommandInterpreter>(sceneModel_.get())) {
    setWindowTitle(u(uimsg::kProgramName));
    settings_ = store_.load();
    ci_->workspace().ndigits = settings_.ndigits;
    ci_->workspace().reseedRandom();

    tabs_ = new QTabWidget;
    console_ = new ConsolePane(*ci_, store_);
    scene_ = new ScenePane(*sceneModel_);
    tabs_->addTab(console_, u(uimsg::kConsoleTab));
    tabs_->addTab(scene_, u(uimsg::kSceneTab));
    setCentralWidget(tabs_);

    buildMenus();
    buildToolBars();
    statusBar()->showMessage(u(uimsg::kStatusInitial));
    connect(tabs_, &QTabWidget::currentChanged, this, &MainWindow::updateSceneToolBar);
    connect(scene_, &ScenePane::stateChanged, this, &MainWindow::updateSceneMarks);
    connect(scene_, &ScenePane::manualTransformRequested, this, &MainWindow::onManualTransform);
    connect(console_, &ConsolePane::commandExecuted, scene_, [this] { scene_->update(); });
    connect(console_, &ConsolePane::documentDropped, this, [this](const QString& path) {
        QMetaObject::invokeMethod(
            this, [this, path] { askAndOpenDocument(path); }, Qt::QueuedConnection);
    });
    setAcceptDrops(true);

    // The unsaved lines go to the recovery file after each executed line
    // (once the event loop runs again, so a rerun of the whole console writes
    // once) and every half minute, which also catches lines typed but not
    // yet run.
    recovery_ = std::make_unique<RecoveryFile>();
    autosaveSoon_ = new QTimer(this);
    autosaveSoon_->setSingleShot(true);
    autosaveSoon_->setInterval(0);
    connect(autosaveSoon_, &QTimer::timeout, this, &MainWindow::autosave);
    connect(console_, &ConsolePane::commandExecuted, autosaveSoon_, qOverload<>(&QTimer::start));
    auto* everyHalfMinute = new QTimer(this);
    everyHalfMinute->setInterval(kAutosaveIntervalMs);
    connect(everyHalfMinute, &QTimer::timeout, this, &MainWindow::autosave);
    everyHalfMinute->start();
    markSaved();

    updateSceneMarks();
    updateSceneToolBar();
    resize(900, 650);
    console_->setFocus();
}

// The panes go first: the scene pane releases its GL lists while the scene
// still exists.
MainWindow::~MainWindow() {
    delete takeCentralWidget();
}

QAction* MainWindow::action(int commandId) const {
    return actions_.value(commandId, nullptr);
}

QAction* MainWindow::addCommand(QMenu* menu, int id, const QString& text,
                                const QKeySequence& shortcut) {
    auto* a = menu->addAction(text);
    if (!shortcut.isEmpty()) a->setShortcut(shortcut);
    actions_.insert(id, a);
    return a;
}

void MainWindow::buildMenus() {
    QMenu* file = menuBar()->addMenu(u("&Soubor"));
    connect(addCommand(file, kNew, u("&Nový"), QKeySequence(Qt::CTRL | Qt::Key_N)),
            &QAction::triggered, this, &MainWindow::newDocument);
    connect(addCommand(file, kOpen, u("&Otevřít..."), QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &MainWindow::onOpen);
    connect(addCommand(file, kSave, u("&Uložit..."), QKeySequence(Qt::CTRL | Qt::Key_S)),
            &QAction::triggered, this, &MainWindow::onSave);
    QMenu* exportMenu = file->addMenu(u("Exportovat"));
    connect(addCommand(exportMenu, kSnapshot, u("&Statický snímek..."),
                       QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, &MainWindow::onSnapshot);
    connect(addCommand(exportMenu, kExportAnimation, u("&Animaci...")), &QAction::triggered, this,
            &MainWindow::onExportAnimation);
    file->addSeparator();
    // The recent documents, "&1 name" to "&4 name", shown while there are any.
    for (int i = 0; i < RecentFiles::kMaxEntries; ++i) {
        QAction* a = file->addAction(QString());
        a->setVisible(false);
        connect(a, &QAction::triggered, this, [this, a] { openRecent(a->data().toString()); });
        recentActions_.push_back(a);
    }
    recentActions_.push_back(file->addSeparator());
    recentActions_.back()->setVisible(false);
    connect(addCommand(file, kExit, u("&Konec")), &QAction::triggered, this, &QWidget::close);
    updateRecentMenu();

    QMenu* commands = menuBar()->addMenu(u("Příkazy"));
    connect(addCommand(commands, kRecompute, u("Přepočítat"), QKeySequence(Qt::Key_F5)),
            &QAction::triggered, console_, &ConsolePane::rerunAll);

    // Each entry opens its dialog; OK hands the composed command to the
    // console, which echoes, runs and keeps it like a typed one.
    QMenu* math = menuBar()->addMenu(u("&Matematika"));
    const std::tuple<int, const char*, MathDialogKind> mathEntries[] = {
        {kSimplify, "&Zjednodušení Výrazu", MathDialogKind::Simplify},
        {kEvaluate, "&Vyhodnocení Výrazu", MathDialogKind::Evaluate},
        {kSolve, "Řešení &Rovnic", MathDialogKind::Solve},
        {kLimit, "&Limita", MathDialogKind::Limit},
        {kDerivative, "&Derivace", MathDialogKind::Derivative},
        {kIntegrate, "Numerická &Integrace", MathDialogKind::Integrate},
        {kLcm, "Nejmenší Spol. &Násobek", MathDialogKind::Lcm},
        {kGcd, "Nejvetší Spol. Dě&litel", MathDialogKind::Gcd},
        {kSubstitute, "&Substituce", MathDialogKind::Substitute},
        {kTaylor, "&Taylorův Polynom", MathDialogKind::Taylor}};
    for (auto [id, text, kind] : mathEntries) {
        MathDialogKind k = kind;
        connect(addCommand(math, id, u(text)), &QAction::triggered, this, [this, k] {
            MathDialog dialog(k, this);
            if (dialog.exec() == QDialog::Accepted)
                console_->submitCommand(QString::fromStdString(dialog.command()));
        });
    }

    QMenu* graphics = menuBar()->addMenu(u("&Grafika"));
    const std::tuple<int, const char*, PlotDialogKind> plotEntries[] = {
        {kExplicitCurve, "E&xplicitní Křivka", PlotDialogKind::ExplicitCurve},
        {kExplicitSurface, "&Explicitní Plocha", PlotDialogKind::Surface},
        {kParametricCurve, "Parametrická &Křivka", PlotDialogKind::ParametricCurve},
        {kImplicitCurve, "&Implicitní Křivka (2D)", PlotDialogKind::ImplicitCurve},
        {kImplicitSurface, "Implicitní &Plocha", PlotDialogKind::ImplicitSurface},
        {kRotationSurface, "&Rotační Plocha", PlotDialogKind::RotationSurface}};
    for (auto [id, text, kind] : plotEntries) {
        PlotDialogKind k = kind;
        connect(addCommand(graphics, id, u(text)), &QAction::triggered, this, [this, k] {
            PlotDialog dialog(k, *sceneModel_, this);
            if (dialog.exec() == QDialog::Accepted)
                console_->submitCommand(QString::fromStdString(dialog.command()));
        });
    }

    // The scene's keys belong to the scene pane while it has the focus, so
    // they are shown in the menu text, not bound as window-wide shortcuts.
    // Marks are computed from the scene's state, never stored here.
    QMenu* scene = menuBar()->addMenu(u("&Scéna"));
    SceneModel& model = *sceneModel_;
    auto sceneCommand = [&](QMenu* menu, int id, const char* text, auto apply,
                            const QKeySequence& key = {}) {
        QAction* a = addCommand(menu, id, u(text), key);
        connect(a, &QAction::triggered, this, [this, apply] {
            apply(*sceneModel_);
            scene_->sceneChanged();
        });
        return a;
    };
    QMenu* transform = scene->addMenu(u("Transformace Soustavy"));
    const std::pair<int, const char*> dragEntries[] = {
        {kRotateXY, "Rotace XY\tQ"},      {kRotateYZ, "Rotace YZ\tW"}, {kRotateXZ, "Rotace XZ\tE"},
        {kTranslateXY, "Posunutí XY\tR"}, {kScaleX, "Měřítko X\tT"},   {kScaleY, "Měřítko Y\tZ"},
        {kScaleZ, "Měřítko Z\tU"}};
    const SceneModel::DragMode dragModes[] = {
        SceneModel::RotateXY, SceneModel::RotateYZ, SceneModel::RotateXZ, SceneModel::MoveXY,
        SceneModel::ScaleX,   SceneModel::ScaleY,   SceneModel::ScaleZ};
    for (int i = 0; i < 7; ++i) {
        SceneModel::DragMode mode = dragModes[i];
        sceneCommand(transform, dragEntries[i].first, dragEntries[i].second, [mode](SceneModel& m) {
            m.drag_mode = mode;
        })->setCheckable(true);
    }
    connect(addCommand(transform, kManualTransform, u("Ruční Nastavení...\tM")),
            &QAction::triggered, this, &MainWindow::onManualTransform);
    QMenu* view = scene->addMenu(u("Zobrazení"));
    auto* renderGroup = new QActionGroup(this);
    const std::tuple<int, const char*, SceneModel::RenderMode> renderEntries[] = {
        {kSolidWire, "Solid Model (Drátěnný)\t1", SceneModel::SolidWireModel},
        {kSolid, "Solid Model\t2", SceneModel::SolidModel},
        {kWire, "Drátěný Model\t3", SceneModel::WireModel},
        {kWireHidden, "Drátěný Model (Skryté Čáry)\t4", SceneModel::HiddenLineModel}};
    for (auto [id, text, mode] : renderEntries) {
        SceneModel::RenderMode m = mode;
        QAction* a = sceneCommand(view, id, text, [m](SceneModel& s) { s.render_mode = m; });
        a->setCheckable(true);
        renderGroup->addAction(a);
    }
    sceneCommand(view, kBoundingBox, "Zobrazit Bounding Box\tB", [](SceneModel& m) {
        m.show_box = !m.show_box;
    })->setCheckable(true);
    sceneCommand(view, kAxes, "Zobrazit Osy\tC", [](SceneModel& m) {
        m.show_axes = !m.show_axes;
    })->setCheckable(true);
    sceneCommand(view, kLabels, "Zobrazit Popisky\tL", [](SceneModel& m) {
        m.show_labels = !m.show_labels;
    })->setCheckable(true);
    QMenu* shading = scene->addMenu(u("Stínování"));
    auto* shadeGroup = new QActionGroup(this);
    shadeGroup
        ->addAction(sceneCommand(shading, kSmooth, "Hladké",
                                 [](SceneModel& m) { m.setShadeModel(ShadeModel::Smooth); }))
        ->setCheckable(true);
    shadeGroup
        ->addAction(sceneCommand(shading, kFlat, "Konstantní",
                                 [](SceneModel& m) { m.setShadeModel(ShadeModel::Flat); }))
        ->setCheckable(true);
    QAction* aa =
        addCommand(scene, kAntialias, u("Antialiasing Čar"), QKeySequence(Qt::CTRL | Qt::Key_A));
    aa->setCheckable(true);
    connect(aa, &QAction::triggered, this,
            [this] { scene_->setAntialias(!sceneModel_->antialias); });
    QMenu* animation = scene->addMenu(u("Animace"));
    sceneCommand(animation, kAnimate, "Animovat\tMezerník", [](SceneModel& m) {
        m.animating = !m.animating;
    })->setCheckable(true);
    sceneCommand(animation, kReverse, "Zpětná Animace \tO", [](SceneModel& m) {
        m.bounce = !m.bounce;
    })->setCheckable(true);
    sceneCommand(animation, kFrameForward, "Snímek Vpřed\tA",
                 [](SceneModel& m) { m.stepFrames(1); });
    sceneCommand(animation, kFrameBackward, "Snímek Vzad\tS",
                 [](SceneModel& m) { m.stepFrames(-1); });
    sceneCommand(scene, kResetView, "Re&setovat Pohled\tX", [](SceneModel& m) { m.resetView(); });
    connect(addCommand(scene, kRemoveAll, u("&Odstranit Vše\tDelete")), &QAction::triggered, this,
            &MainWindow::removeAll);
    (void)model;

    QMenu* settings = menuBar()->addMenu(u("N&astavení"));
    connect(addCommand(settings, kSettings, u("&Nastavení...")), &QAction::triggered, this,
            &MainWindow::onSettings);

    QMenu* help = menuBar()->addMenu(u("&Nápověda"));
    connect(addCommand(help, kAbout, u("&O Programu Korvalinth...")), &QAction::triggered, this,
            [this] { AboutDialog(this).exec(); });
    // The project page is a build option; without one the entry is disabled.
    QAction* web = addCommand(help, kWeb, u(uimsg::kWebMenuEntry));
    web->setEnabled(*kHomePage != '\0');
    connect(web, &QAction::triggered, this, [this] { openWebPage(this, u(kHomePage)); });
    connect(addCommand(help, kHelp, u("&Nápověda")), &QAction::triggered, this, [this] {
        const QString dir = QCoreApplication::applicationDirPath();
        openHelp(this, helpFilePath(dir), installedHelpPath(dir));
    });

    // Entries only the menus show take the theme's icon when it has one.
    const std::pair<int, const char*> menuIcons[] = {{kExit, "application-exit"},
                                                     {kRecompute, "view-refresh"},
                                                     {kSettings, "preferences-system"},
                                                     {kWeb, "internet-web-browser"},
                                                     {kHelp, "help-contents"}};
    for (const auto& [id, name] : menuIcons) action(id)->setIcon(themedIcon(name, nullptr));
}

void MainWindow::buildToolBars() {
    mainToolBar_ = addToolBar(u("Hlavní"));
    mainToolBar_->setObjectName(QStringLiteral("mainToolBar"));
    // Theme names are freedesktop's; where none fits, the program's own
    // drawing stands alone.
    struct Button {
        int id;
        const char* themeName;
        const char* drawing;
        const char* tip;
    };
    auto addButtons = [this](QToolBar* bar, std::initializer_list<Button> buttons) {
        for (const Button& b : buttons) {
            if (b.id == 0) {
                bar->addSeparator();
                continue;
            }
            QAction* a = action(b.id);
            a->setIcon(themedIcon(b.themeName, b.drawing));
            a->setToolTip(u(b.tip));
            bar->addAction(a);
        }
    };
    addButtons(mainToolBar_, {{kNew, "document-new", "new", "Nový Soubor (Ctrl + N)"},
                              {kOpen, "document-open", "open", "Otevřít Soubor (Ctrl + O)"},
                              {kSave, "document-save", "save", "Uložit Soubor (Ctrl + S)"},
                              {0, nullptr, nullptr, nullptr},
                              {kSnapshot, "camera-photo", "snapshot", "Statický Snímek (Ctrl + E)"},
                              {kExportAnimation, "camera-video", "film", "Exportovat Animaci"},
                              {0, nullptr, nullptr, nullptr},
                              {kAbout, "help-about", "about", "O Programu Korvalinth"}});

    sceneToolBar_ = addToolBar(u("Grafika"));
    sceneToolBar_->setObjectName(QStringLiteral("sceneToolBar"));
    addButtons(sceneToolBar_,
               {{kRotateXY, nullptr, "rotate-xy", "Rotace XY (Q)"},
                {kRotateYZ, nullptr, "rotate-yz", "Rotace YZ (W)"},
                {kRotateXZ, nullptr, "rotate-xz", "Rotace XZ (E)"},
                {0, nullptr, nullptr, nullptr},
                {kTranslateXY, nullptr, "translate", "Posunutí XY (R)"},
                {0, nullptr, nullptr, nullptr},
                {kScaleX, nullptr, "scale-x", "Měřítko X (T)"},
                {kScaleY, nullptr, "scale-y", "Měřítko Y (Z)"},
                {kScaleZ, nullptr, "scale-z", "Měřítko Z (U)"},
                {0, nullptr, nullptr, nullptr},
                {kManualTransform, nullptr, "manual", "Ruční Nastavení (M)"},
                {0, nullptr, nullptr, nullptr},
                {kResetView, nullptr, "reset-view", "Resetovat Pohled (X)"},
                {0, nullptr, nullptr, nullptr},
                {kSolidWire, nullptr, "render-solid-wire", "Solid Model (Wire) (1)"},
                {kSolid, nullptr, "render-solid", "Solid Model (2)"},
                {kWire, nullptr, "render-wire", "Drátěný Model (3)"},
                {kWireHidden, nullptr, "render-wire-hidden", "Drátěný Model (Skryté Čáry) (4)"},
                {0, nullptr, nullptr, nullptr},
                {kBoundingBox, nullptr, "bounding-box", "Zobrazit Bounding Box (B)"},
                {kAxes, nullptr, "axes", "Zobrazit Osy (C)"},
                {kLabels, nullptr, "labels", "Zobrazit Popisky (L)"},
                {0, nullptr, nullptr, nullptr},
                {kAntialias, nullptr, "antialias", "Antialiasing Čar (Ctrl + A)"},
                {0, nullptr, nullptr, nullptr},
                {kAnimate, "media-playback-start", "play", "Animovat (Mezerník)"},
                {kReverse, nullptr, "play-reverse", "Zpětná Animace (O)"},
                {0, nullptr, nullptr, nullptr},
                {kFrameForward, "media-skip-forward", "frame-forward", "Snímek Vpřed (A)"},
                {kFrameBackward, "media-skip-backward", "frame-backward", "Snímek Vzad (S)"},
                {0, nullptr, nullptr, nullptr},
                {kRemoveAll, "edit-delete", "remove-all", "Odstranit Vše (Delete)"}});
}

// The scene toolbar shows exactly while the setting allows it and the scene
// tab is active.
void MainWindow::updateSceneToolBar() {
    bool show = settings_.showGToolbar && tabs_->currentWidget() == scene_;
    if (sceneToolBar_->isHidden() == show) sceneToolBar_->setVisible(show);
}

// True when the caller may go on and drop the console: the user declined to
// save, or saved successfully. Zrušit, Escape, a cancelled or failed Save
// keep everything as it is.
bool MainWindow::askToSave() {
    if (!store_.querySave()) return true;
    switch (askYesNoCancel(this, uimsg::kAskSave)) {
        case QMessageBox::Yes:
            return onSave();
        case QMessageBox::No:
            return true;
        default:
            return false;
    }
}

void MainWindow::updateSceneMarks() {
    const SceneModel& m = *sceneModel_;
    const int dragIds[] = {kRotateXY, kRotateYZ, kRotateXZ, kTranslateXY,
                           kScaleX,   kScaleY,   kScaleZ};
    for (int i = 0; i < 7; ++i) action(dragIds[i])->setChecked(m.drag_mode == i);
    const std::pair<int, SceneModel::RenderMode> renderIds[] = {
        {kSolidWire, SceneModel::SolidWireModel},
        {kSolid, SceneModel::SolidModel},
        {kWire, SceneModel::WireModel},
        {kWireHidden, SceneModel::HiddenLineModel}};
    for (auto [id, mode] : renderIds) action(id)->setChecked(m.render_mode == mode);
    action(kBoundingBox)->setChecked(m.show_box);
    action(kAxes)->setChecked(m.show_axes);
    action(kLabels)->setChecked(m.show_labels);
    action(kSmooth)->setChecked(m.shadeModel() == ShadeModel::Smooth);
    action(kFlat)->setChecked(m.shadeModel() == ShadeModel::Flat);
    action(kAntialias)->setChecked(m.antialias);
    action(kAnimate)->setChecked(m.animating);
    action(kReverse)->setChecked(m.bounce);
}

void MainWindow::onManualTransform() {
    TransformDialog dialog(*sceneModel_, this);
    connect(&dialog, &TransformDialog::applied, scene_, &ScenePane::sceneChanged);
    dialog.exec();
    scene_->sceneChanged();
}

void MainWindow::removeAll() {
    QWidget* shown = tabs_->currentWidget();
    tabs_->setCurrentWidget(scene_);
    scene_->removeAll();
    tabs_->setCurrentWidget(shown);
}

void MainWindow::onSnapshot() {
    if (snapshotFolder_.isEmpty()) snapshotFolder_ = QDir::currentPath();
    tabs_->setCurrentWidget(scene_);
    const QString png = u(uimsg::kSnapshotPngFilter);
    QString chosenFilter = png;
    QString path =
        QFileDialog::getSaveFileName(this, u(uimsg::kSnapshotTitle), snapshotFolder_,
                                     png + ";;" + u(uimsg::kSnapshotFilter), &chosenFilter);
    if (path.isEmpty()) return;
    path = QString::fromStdString(withPictureExtension(path.toStdString(), chosenFilter == png));

    // The size: the pane's, or two or four times it for print, drawn at
    // that size (not scaled up afterwards).
    const QSize pane = scene_->size() * scene_->devicePixelRatioF();
    QStringList sizes{u(uimsg::kSnapshotSizePane).arg(pane.width()).arg(pane.height())};
    for (int k : {2, 4})
        sizes << u(uimsg::kSnapshotSizeTimes).arg(k).arg(pane.width() * k).arg(pane.height() * k);
    bool ok = false;
    const QString size = QInputDialog::getItem(this, u(uimsg::kSnapshotSizeTitle),
                                               u(uimsg::kSnapshotSizeLabel), sizes, 0, false, &ok);
    if (!ok) return;
    const int index = static_cast<int>(sizes.indexOf(size));
    exportSnapshot(path, index <= 0 ? 1 : (index == 1 ? 2 : 4));
}

bool MainWindow::exportSnapshot(const QString& path, int scale) {
    std::string error;
    bool fatal = false;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool saved = scene_->saveSnapshot(path, error, fatal, scale);
    QApplication::restoreOverrideCursor();
    if (saved) return true;
    // A fatal error of the JPEG library is shown under its own caption.
    QMessageBox::warning(this, fatal ? QStringLiteral("JPEG Fatal Error") : u(uimsg::kProgramName),
                         fatal ? QString::fromStdString(error)
                               : u(uimsg::kSnapshotFailed) + '\n' + QString::fromStdString(error));
    return false;
}

// The file, then the frame count and rate, then the encoder; cancelling any
// of them ends the command with nothing written.
void MainWindow::onExportAnimation() {
    if (animationFolder_.isEmpty()) animationFolder_ = QDir::currentPath();
    tabs_->setCurrentWidget(scene_);
    // The container by the filter chosen (or the name's extension).
    const std::pair<const char*, VideoContainer> filters[] = {
        {uimsg::kAnimationFilter, VideoContainer::Avi},
        {uimsg::kAnimationMp4Filter, VideoContainer::Mp4},
        {uimsg::kAnimationWebmFilter, VideoContainer::WebM},
        {uimsg::kAnimationGifFilter, VideoContainer::Gif},
    };
    QStringList filterList;
    for (const auto& f : filters) filterList << u(f.first);
    QString chosenFilter = filterList.front();
    QString path = QFileDialog::getSaveFileName(this, u(uimsg::kAnimationTitle), animationFolder_,
                                                filterList.join(";;"), &chosenFilter);
    if (path.isEmpty()) return;
    VideoContainer container = VideoContainer::Avi;
    for (const auto& f : filters)
        if (chosenFilter == u(f.first)) container = f.second;
    path = QString::fromStdString(withVideoExtension(path.toStdString(), container));
    container = containerOf(path.toStdString());

    AnimSetDialog frames(this);
    if (frames.exec() != QDialog::Accepted) return;
    AnimationSettings settings;
    settings.frames = frames.frames();
    settings.frames_per_second = frames.framesPerSecond();

    const QSize size = scene_->videoSize();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const std::vector<VideoEncoder>& encoders =
        videoEncoders(container, size.width(), size.height(), settings.frames_per_second);
    QApplication::restoreOverrideCursor();
    if (encoders.empty()) {
        warn(this, u(uimsg::kNoEncoder).arg(QString::fromUtf8(extensionOf(container))));
        return;
    }
    CompressorDialog compressor(encoders, this);
    if (compressor.exec() != QDialog::Accepted || compressor.codec().empty()) return;
    settings.codec = compressor.codec();
    exportAnimation(path, settings);
}

bool MainWindow::exportAnimation(const QString& path, const AnimationSettings& settings) {
    tabs_->setCurrentWidget(scene_);
    std::string error;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const bool ok = scene_->exportAnimation(path, settings, error);
    QApplication::restoreOverrideCursor();
    if (ok)
        QMessageBox::information(this, u(uimsg::kProgramName), u(exportmsg::kAviDone));
    else
        warn(this, QString::fromStdString(error));
    return ok;
}

bool MainWindow::newDocument() {
    if (!askToSave()) return false;
    clearDocument();
    return true;
}

void MainWindow::clearDocument() {
    scene_->removeAll();
    console_->submitCommand(QStringLiteral("clear_user_funcs"), false);
    console_->resetText(true);
    markSaved();
}

std::vector<std::string> MainWindow::storedLines() const {
    std::vector<std::string> stored;
    for (const std::string& line : console_->lines())
        if (auto s = storedCommandLine(line)) stored.push_back(std::move(*s));
    return stored;
}

// What the console holds now is what a file holds (or nothing was typed):
// there is nothing to recover.
void MainWindow::markSaved() {
    savedLines_ = storedLines();
    autosave();
}

void MainWindow::autosave() {
    std::vector<std::string> stored = storedLines();
    if (stored == savedLines_) {
        recovery_->remove();
        autosavedLines_.clear();
        return;
    }
    if (stored == autosavedLines_ && recovery_->exists()) return;
    std::string error;
    if (recovery_->write(console_->lines(), error)) {
        autosavedLines_ = std::move(stored);
        autosaveFailureShown_ = false;
        return;
    }
    // Said once in the status bar, not in a box: the user is typing, and the
    // next attempt comes on its own.
    if (!autosaveFailureShown_)
        statusBar()->showMessage(
            u(uimsg::kAutosaveFailed).arg(QString::fromStdString(error).replace('\n', ' ')));
    autosaveFailureShown_ = true;
}

bool MainWindow::offerRecovery() {
    const QStringList found = recovery_->abandoned();
    if (found.isEmpty()) return false;
    const QString path = found.front();
    const QString when =
        QLocale(QLocale::Czech).toString(QFileInfo(path).lastModified(), QLocale::ShortFormat);
    const auto answer =
        QMessageBox::question(this, u(uimsg::kProgramName), u(uimsg::kAskRecover).arg(when),
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
    if (answer != QMessageBox::Yes) {
        RecoveryFile::discard(path);
        return false;
    }
    DocumentReadResult doc = loadDocumentFile(path.toStdString());
    if (!doc.ok) {
        QString text = u(uimsg::kRecoveryUnreadable) + '\n' + QString::fromStdString(doc.error);
        if (!doc.detail.empty()) text += '\n' + QString::fromStdString(doc.detail);
        warn(this, text);
        RecoveryFile::discard(path);
        return false;
    }
    clearDocument();
    tabs_->setCurrentWidget(console_);
    console_->showLoadedLines(doc.lines);
    // The restored lines are unsaved work of this program now: they are in
    // its own recovery file before the old one goes.
    autosave();
    if (recovery_->exists()) RecoveryFile::discard(path);
    return true;
}

void MainWindow::onOpen() {
    tabs_->setCurrentWidget(console_);
    QString path =
        QFileDialog::getOpenFileName(this, u(uimsg::kOpenTitle), QString(), u(uimsg::kFileFilter));
    if (path.isEmpty()) return;
    askAndOpenDocument(path);
}

bool MainWindow::askAndOpenDocument(const QString& path) {
    return askToSave() && openDocument(path);
}

bool MainWindow::openDocument(const QString& path) {
    // The file is read before anything is cleared: one that cannot be
    // opened leaves the console, the user functions and the scene as they are.
    DocumentReadResult doc = loadDocumentFile(path.toStdString());
    if (!doc.ok) {
        QString text = QString::fromStdString(doc.error);
        if (!doc.detail.empty()) text += '\n' + QString::fromStdString(doc.detail);
        warn(this, text);
        return false;
    }
    clearDocument();
    tabs_->setCurrentWidget(console_);
    console_->showLoadedLines(doc.lines);
    markSaved();
    RecentFiles().add(path);
    updateRecentMenu();
    if (!doc.damage.empty()) {
        QString text = u(uimsg::kDamagedDocument);
        for (const std::string& d : doc.damage) text += '\n' + QString::fromStdString(d);
        warn(this, text);
    }
    return true;
}

bool MainWindow::onSave() {
    tabs_->setCurrentWidget(console_);
    QString path =
        QFileDialog::getSaveFileName(this, u(uimsg::kSaveTitle), QString(), u(uimsg::kFileFilter));
    if (path.isEmpty()) return false;
    return saveDocument(QString::fromStdString(withDocumentExtension(path.toStdString())));
}

bool MainWindow::saveDocument(const QString& path) {
    DocumentSaveResult result = saveDocumentFile(path.toStdString(), console_->lines());
    if (!result.ok) {
        QString text = QString::fromStdString(result.error);
        if (!result.detail.empty()) text += '\n' + QString::fromStdString(result.detail);
        warn(this, text);
    }
    if (result.ok) {
        markSaved();
        RecentFiles().add(path);
        updateRecentMenu();
    }
    return result.ok;
}

void MainWindow::onSettings() {
    SettingsDialog dialog(store_.load(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    settings_ = dialog.settings();
    store_.save(settings_);
    ci_->workspace().ndigits = settings_.ndigits;
    updateSceneToolBar();
}

QStringList MainWindow::recentFiles() const {
    return RecentFiles().entries();
}

void MainWindow::updateRecentMenu() {
    const QStringList files = recentFiles();
    for (int i = 0; i < RecentFiles::kMaxEntries; ++i) {
        QAction* a = recentActions_[static_cast<std::size_t>(i)];
        a->setVisible(i < files.size());
        if (i >= files.size()) continue;
        a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(QFileInfo(files[i]).fileName()));
        a->setToolTip(files[i]);
        a->setStatusTip(files[i]);
        a->setData(files[i]);
    }
    recentActions_.back()->setVisible(!files.isEmpty());
}

bool MainWindow::openRecent(const QString& path) {
    if (!QFileInfo(path).isFile()) {
        RecentFiles().remove(path);
        updateRecentMenu();
        warn(this, u(docmsg::kCannotOpen));
        return false;
    }
    return askAndOpenDocument(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedDocument(event->mimeData()).isEmpty()) event->acceptProposedAction();
}

// Opened once the drop is over: the save question must not run inside the
// drag and drop of the desktop.
void MainWindow::dropEvent(QDropEvent* event) {
    const QString path = droppedDocument(event->mimeData());
    if (path.isEmpty()) return;
    event->acceptProposedAction();
    QMetaObject::invokeMethod(
        this, [this, path] { askAndOpenDocument(path); }, Qt::QueuedConnection);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (askToSave())
        event->accept();
    else
        event->ignore();
}

}  // namespace kv
