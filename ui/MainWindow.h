// The main window: menus, the main and scene toolbars, the status bar and
// the two tabs, the console ("Příkazy") and the scene ("Grafika"); the
// document commands New, Open and Save and the settings.
#pragma once

#include <QMainWindow>
#include <memory>
#include <string>
#include <vector>

#include "doc/Settings.h"
#include "ui/SettingsStore.h"

class QTabWidget;
class QToolBar;
class QAction;
class QTimer;

namespace kv {
struct AnimationSettings;
}

namespace kv {

class CommandInterpreter;
class ConsolePane;
class RecoveryFile;
class SceneModel;
class ScenePane;

class MainWindow : public QMainWindow {
    Q_OBJECT
  public:
    MainWindow();
    ~MainWindow() override;

    ConsolePane* console() const { return console_; }
    ScenePane* scenePane() const { return scene_; }
    QTabWidget* tabs() const { return tabs_; }
    QToolBar* sceneToolBar() const { return sceneToolBar_; }
    QAction* action(int commandId) const;

    // Opens a document as the Open command does once the file is chosen and
    // the save question answered: nothing changes unless it can be read.
    bool openDocument(const QString& path);
    // The Open command without the file dialog: the save question, then
    // openDocument. False when Zrušit was chosen or opening failed.
    bool askAndOpenDocument(const QString& path);
    // Saves as the Save command does, without the file dialog.
    bool saveDocument(const QString& path);
    // Starts a new document: the save question, the user functions cleared,
    // an empty console with its prompt. False, with nothing changed, when
    // the question was answered Zrušit or the Save failed.
    bool newDocument();
    // Saves the scene picture as the snapshot command does, without the
    // dialogs: PNG or JPEG by the name, `scale` times the pane's size.
    bool exportSnapshot(const QString& path, int scale = 1);
    // Records the animation as the animation export does once its dialogs
    // are answered; reports the outcome in a message box.
    bool exportAnimation(const QString& path, const AnimationSettings& settings);
    // "Odstranit Vše": removes every graph; the tab shown before stays shown.
    void removeAll();

    // How often the unsaved command lines are written to the recovery file
    // besides after each executed line.
    static constexpr int kAutosaveIntervalMs = 30'000;
    // Offers to restore the newest recovery file that a program which did
    // not end cleanly left; restoring loads its lines like Open, without
    // running them. True when lines were restored.
    bool offerRecovery();
    // Writes the console's command lines to the recovery file when they
    // differ from what was last opened or saved, and removes the file when
    // they do not.
    void autosave();
    const RecoveryFile& recoveryFile() const { return *recovery_; }

    // The documents of "Soubor" ▸ 1..4, newest first.
    QStringList recentFiles() const;
    // A recent document chosen in the menu: opened as Open does; a file that
    // is gone leaves the list with "Soubor nelze otevřít!".
    bool openRecent(const QString& path);

  protected:
    void closeEvent(class QCloseEvent* event) override;
    void dragEnterEvent(class QDragEnterEvent* event) override;
    void dropEvent(class QDropEvent* event) override;

  private slots:
    void onOpen();
    bool onSave();
    void onSettings();
    void updateSceneToolBar();
    void updateSceneMarks();
    void onSnapshot();
    void onExportAnimation();
    void onManualTransform();

  private:
    void buildMenus();
    void buildToolBars();
    QAction* addCommand(class QMenu* menu, int id, const QString& text,
                        const QKeySequence& shortcut = {});
    bool askToSave();
    void updateRecentMenu();
    void clearDocument();
    std::vector<std::string> storedLines() const;
    void markSaved();

    std::unique_ptr<SceneModel> sceneModel_;
    std::unique_ptr<CommandInterpreter> ci_;
    SettingsStore store_;
    Settings settings_;
    QTabWidget* tabs_ = nullptr;
    ConsolePane* console_ = nullptr;
    ScenePane* scene_ = nullptr;
    QString snapshotFolder_;
    QString animationFolder_;
    QToolBar* mainToolBar_ = nullptr;
    QToolBar* sceneToolBar_ = nullptr;
    QHash<int, QAction*> actions_;
    std::vector<QAction*> recentActions_;
    std::unique_ptr<RecoveryFile> recovery_;
    // The command lines as last opened, saved or cleared, and as last
    // written to the recovery file.
    std::vector<std::string> savedLines_;
    std::vector<std::string> autosavedLines_;
    QTimer* autosaveSoon_ = nullptr;
    bool autosaveFailureShown_ = false;
};

}  // namespace kv
