#include "ui/AboutDialog.h"

#include <QDate>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QVBoxLayout>

#include "app/Version.h"
#include "ui/Icons.h"
#include "ui/UiMessages.h"

namespace kv {

namespace {

// __DATE__ is "Mmm dd yyyy" in the C locale.
QString buildDate() {
    const QDate date = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(),
                                           QStringLiteral("MMM d yyyy"));
    return date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy"))
                          : QString::fromLatin1(__DATE__);
}

}  // namespace

QString AboutDialog::versionLine() {
    return QString::fromUtf8(uimsg::kAboutVersion).arg(QString::fromUtf8(kVersion), buildDate());
}

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8(uimsg::kAboutTitle));

    auto* picture = new QLabel;
    picture->setPixmap(aboutPicture(128));

    auto* name = new QLabel(QString::fromUtf8(uimsg::kProgramName));
    QFont big = name->font();
    big.setPointSizeF(big.pointSizeF() * 1.8);
    big.setBold(true);
    name->setFont(big);
    auto* version = new QLabel(versionLine());
    version->setObjectName(QStringLiteral("version"));

    // The page and the address can be selected and copied, not edited.
    auto* contacts = new QFormLayout;
    const std::pair<const char*, const char*> fields[] = {{uimsg::kAboutWeb, kHomePage},
                                                          {uimsg::kAboutMail, kContactMail}};
    for (const auto& [label, value] : fields) {
        auto* field = new QLineEdit(QString::fromUtf8(value));
        field->setReadOnly(true);
        field->setObjectName(label == uimsg::kAboutWeb ? QStringLiteral("web")
                                                       : QStringLiteral("mail"));
        contacts->addRow(QString::fromUtf8(label), field);
    }
    auto* invitation = new QLabel(QString::fromUtf8(uimsg::kAboutInvitation));
    invitation->setObjectName(QStringLiteral("invitation"));
    invitation->setWordWrap(true);
    invitation->setMinimumWidth(340);

    auto* texts = new QVBoxLayout;
    texts->addWidget(name);
    texts->addWidget(version);
    texts->addSpacing(8);
    texts->addLayout(contacts);
    texts->addWidget(invitation);
    texts->addStretch();

    auto* top = new QHBoxLayout;
    top->addWidget(picture);
    top->addSpacing(12);
    top->addLayout(texts, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

}  // namespace kv
