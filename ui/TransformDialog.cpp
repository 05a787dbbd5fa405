#include "ui/TransformDialog.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "engine/NumberFormat.h"
#include "engine/TextScan.h"
#include "graphics/SceneModel.h"
#include "ui/FieldWarning.h"

namespace kv {

namespace {

QString u(const char* s) {
    return QString::fromUtf8(s);
}

const char* const kMessages[12] = {"Neplatný formát úhlu rotace okolo osy X",
                                   "Neplatný formát úhlu rotace okolo osy Y",
                                   "Neplatný formát úhlu rotace okolo osy Z",
                                   "Neplatný formát čísla translace ve směru X",
                                   "Neplatný formát čísla translace ve směru Y",
                                   "Neplatný formát čísla translace ve směru Z",
                                   "Neplatný formát čísla měřítka X",
                                   "Neplatný formát čísla měřítka Y",
                                   "Neplatný formát čísla měřítka Z",
                                   "Neplatný formát čísla!",
                                   "Neplatný formát čísla!",
                                   "Neplatný formát čísla!"};

float* target(SceneModel& s, int f) {
    SceneVector* groups[] = {&s.rotation, &s.translation, &s.scale, &s.spin};
    SceneVector* v = groups[f / 3];
    float* parts[] = {&v->x, &v->y, &v->z};
    return parts[f % 3];
}

}  // namespace

TransformDialog::TransformDialog(SceneModel& scene, QWidget* parent)
    : QDialog(parent), scene_(scene) {
    setWindowTitle(u("Transformace"));
    for (auto& f : fields_) f = new QLineEdit;
    struct Group {
        const char* title;
        int first;
        const char* labels[3];
        const char* unit;
    } groups[] = {{"Posunutí",
                   MoveX,
                   {"Posunutí ve směru X:", "Posunutí ve směru Y:", "Posunutí ve směru Z:"},
                   ""},
                  {"Rotace",
                   RotX,
                   {"Rotace kolem osy X:", "Rotace kolem osy Y:", "Rotace kolem osy Z:"},
                   "stupňů"},
                  {"Měřítko", ScaleX, {"Měřítko X:", "Měřítko Y:", "Měřítko Z:"}, ""},
                  {"Trackball",
                   SpinX,
                   {"Úhlová rychlost X:", "Úhlová rychlost Y:", "Úhlová rychlost Z:"},
                   ""}};
    auto* grid = new QGridLayout;
    int cell = 0;
    for (const Group& g : groups) {
        auto* box = new QGroupBox(u(g.title));
        auto* form = new QFormLayout(box);
        for (int i = 0; i < 3; ++i) {
            QWidget* row = fields_[static_cast<std::size_t>(g.first + i)];
            if (*g.unit) {
                auto* w = new QWidget;
                auto* h = new QHBoxLayout(w);
                h->setContentsMargins(0, 0, 0, 0);
                h->addWidget(row);
                h->addWidget(new QLabel(u(g.unit)));
                row = w;
            }
            form->addRow(u(g.labels[i]), row);
        }
        grid->addWidget(box, cell / 2, cell % 2);
        ++cell;
    }
    auto* buttons = new QDialogButtonBox;
    QPushButton* update = buttons->addButton(u("Aktualizovat"), QDialogButtonBox::ApplyRole);
    QPushButton* ok = buttons->addButton(u("OK"), QDialogButtonBox::AcceptRole);
    buttons->addButton(u("Zrušit"), QDialogButtonBox::RejectRole);
    QPushButton* reset = buttons->addButton(u("Resetovat"), QDialogButtonBox::ResetRole);
    // Return presses OK: the other buttons are never the default, and OK is
    // made the default once the box is in the dialog (before that a dialog
    // takes its first button as the default).
    update->setAutoDefault(false);
    reset->setAutoDefault(false);
    connect(update, &QPushButton::clicked, this, &TransformDialog::apply);
    connect(buttons, &QDialogButtonBox::accepted, this, &TransformDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &TransformDialog::reject);
    connect(reset, &QPushButton::clicked, this, &TransformDialog::resetFields);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    ok->setDefault(true);
    fill();
}

void TransformDialog::fill() {
    for (int f = 0; f < 12; ++f)
        fields_[static_cast<std::size_t>(f)]->setText(
            QString::fromStdString(formatShort(*target(scene_, f))));
}

// "Resetovat" shows the values of the reset view without applying them.
void TransformDialog::resetFields() {
    const SceneVector saved[] = {scene_.rotation, scene_.translation, scene_.scale, scene_.spin};
    const bool spinning = scene_.spinning;
    scene_.resetView();
    scene_.rotation = {};
    scene_.scale = {1.0f, 1.0f, 1.0f};
    scene_.spin = {};
    fill();
    scene_.rotation = saved[0];
    scene_.translation = saved[1];
    scene_.scale = saved[2];
    scene_.spin = saved[3];
    scene_.spinning = spinning;
}

bool TransformDialog::apply() {
    float values[12];
    for (int f = 0; f < 12; ++f) {
        QLineEdit* edit = fields_[static_cast<std::size_t>(f)];
        std::string text = std::string(trim(edit->text().toStdString()));
        std::string_view digits = text;
        if (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) digits.remove_prefix(1);
        if (digits.empty() || decimalPrefixLength(digits) != digits.size()) {
            warnAboutField(this, edit, u(kMessages[f]));
            return false;
        }
        double v = readDecimal(digits);
        values[f] = static_cast<float>(text[0] == '-' ? -v : v);
    }
    for (int f = 0; f < 12; ++f) *target(scene_, f) = values[f];
    emit applied();
    return true;
}

void TransformDialog::accept() {
    if (apply()) QDialog::accept();
}

}  // namespace kv
