#include "programming/ui/section_usuarios.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "store/data_module.h"
#include "store/logged_operator.h"
#include "widgets/field_binder.h"
#include "widgets/input_rules.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QVBoxLayout>

namespace {

// The user attribute "Controle via telefone" (10-zone bit 5), which product codes 3 and 4 lack.
constexpr int kPhoneControlBit = UserPhoneControl;

QLineEdit* NameField(FieldBinder& names, DataSet& set, const QString& column, const QString& objectName) {
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setMaxLength(20);
    names.BindText(edit, set, column);
    return edit;
}

} // namespace

SectionUsuarios::SectionUsuarios(EditorContext& context, FieldBinder& names, QWidget* parent)
    : SectionWidget(ProgSection::Usuarios, context, parent) {
    DataSet& usuarios = context.record.DataModule().DSetUsuarios;
    auto* layout = new QVBoxLayout(Body());
    auto* top = new QGridLayout;
    Caption(top, 0, 0, QStringLiteral("Master:"));
    top->addWidget(NameField(names, usuarios, QStringLiteral("MASTER"), QStringLiteral("dbedtMaster")), 0, 1);
    edtSenhaMaster = AddCodeField(ProgField::MasterCode, "edtSenhaMaster");
    top->addWidget(edtSenhaMaster, 0, 2);
    Caption(top, 1, 0, QStringLiteral("Instalador:"));
    top->addWidget(
        NameField(names, usuarios, QStringLiteral("INSTALADOR"), QStringLiteral("dbedtInstalador")), 1, 1);
    edtSenhaInstalador = AddCodeField(ProgField::InstallerCode, "edtSenhaInstalador");
    top->addWidget(edtSenhaInstalador, 1, 2);
    top->setColumnStretch(3, 1);
    layout->addLayout(top);

    auto* grid = new QGridLayout;
    const ProductFamily family = context.family();
    const QStringList captions = UserAttributeCaptions(family);
    for (int n = 1; n <= UserCount(family); ++n) {
        User u;
        u.group = new QGroupBox(QStringLiteral("Usuário %1").arg(n));
        u.group->setObjectName(QStringLiteral("Usuario%1").arg(n, 2, 10, QLatin1Char('0')));
        auto* g = new QGridLayout(u.group);
        g->addWidget(NameField(names, usuarios, QStringLiteral("USUARIO%1").arg(n),
                               QStringLiteral("dbedtUsuario%1").arg(n)),
                     0, 0, 1, 2);
        u.code = new QLineEdit;
        u.code->setObjectName(QStringLiteral("edtSenhaUsuario%1").arg(n));
        u.code->setMaxLength(4);
        u.code->setMaximumWidth(64);
        InputRules::AcceptOnly(u.code, QStringLiteral("0123456789"));
        connect(u.code, &QLineEdit::textChanged, this, [this, n](const QString& text) {
            if (Quiet())
                return;
            Context().PC().setUserCode(n, text);
            Context().Wrote();
        });
        g->addWidget(u.code, 0, 2);
        for (int bit = 0; bit < captions.size(); ++bit) {
            auto* box = new QCheckBox(captions.at(bit));
            box->setObjectName(QStringLiteral("chkUsuario%1_%2").arg(n).arg(bit));
            g->addWidget(box, 1 + bit / 3, bit % 3);
            connect(box, &QCheckBox::toggled, this, [this, n] { AttributeClicked(n); });
            u.boxes.append(box);
        }
        u.group->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(u.group, &QWidget::customContextMenuRequested, this,
                [this, n](const QPoint& at) { ShowMenu(n, at); });
        grid->addWidget(u.group, (n - 1) / 2, (n - 1) % 2);
        m_users.append(u);
    }
    layout->addLayout(grid);
}

QLineEdit* SectionUsuarios::AddCodeField(ProgField field, const char* name) {
    QLineEdit* edit = AddField(field, name, QStringLiteral("0123456789"), 4);
    edit->setMaximumWidth(64);
    return edit;
}

void SectionUsuarios::AttributeClicked(int n) {
    if (Quiet())
        return;
    quint8 bits = 0;
    const User& u = m_users.at(n - 1);
    for (int bit = 0; bit < u.boxes.size(); ++bit) {
        if (u.boxes.at(bit)->isChecked())
            bits |= quint8(1u << bit);
    }
    Context().PC().setUserAttributes(n, bits);
    Context().Wrote();
}

void SectionUsuarios::ShowMenu(int user, const QPoint& at) {
    const User& u = m_users.at(user - 1);
    QMenu menu;
    for (int bit = 0; bit < u.boxes.size(); ++bit) {
        if (!u.boxes.at(bit)->isVisible())
            continue;
        QMenu* sub = menu.addMenu(u.boxes.at(bit)->text());
        sub->addAction(QStringLiteral("Marcar todas"), this, [this, bit] { MarkEveryUser(bit, true); });
        sub->addAction(QStringLiteral("Desmarcar todas"), this, [this, bit] { MarkEveryUser(bit, false); });
    }
    menu.addAction(QStringLiteral("Marcar todas as opções deste usuário"), this,
                   [this, user] { MarkUser(user, true); });
    menu.addAction(QStringLiteral("Desmarcar todas as opções deste usuário"), this,
                   [this, user] { MarkUser(user, false); });
    menu.exec(u.group->mapToGlobal(at));
}

void SectionUsuarios::MarkEveryUser(int bit, bool on) {
    for (const User& u : std::as_const(m_users))
        u.boxes.at(bit)->setChecked(on);
}

void SectionUsuarios::MarkUser(int user, bool on) {
    for (QCheckBox* box : m_users.at(user - 1).boxes) {
        if (!box->isHidden())
            box->setChecked(on);
    }
}

void SectionUsuarios::ApplyVariant() {
    const bool phoneControl = Context().variant.phoneControlAttribute;
    const bool seeCodes = Context().op.HasPermission(Permission::VerSenhasUsuarios);
    const bool changeUsers = Context().op.HasPermission(Permission::AlterarSenhasUsuarios);
    QList<QLineEdit*> codes{edtSenhaMaster, edtSenhaInstalador};
    for (const User& u : std::as_const(m_users)) {
        codes << u.code;
        u.group->setEnabled(changeUsers);
        if (Context().family() == ProductFamily::TenZone)
            u.boxes.at(kPhoneControlBit)->setHidden(!phoneControl);
    }
    for (QLineEdit* code : codes) {
        code->setReadOnly(!seeCodes);
        code->setEchoMode(seeCodes ? QLineEdit::Normal : QLineEdit::Password);
        code->setStyleSheet(seeCodes ? QString() : QStringLiteral("lineedit-password-character: 42"));
    }
}

void SectionUsuarios::MarkOwnDifferences() {
    const ProductFamily family = Context().family();
    for (int n = 1; n <= m_users.size(); ++n) {
        const User& u = m_users.at(n - 1);
        Mark(u.code, Differs(UserCodeByte(family, n), 2));
        for (int bit = 0; bit < u.boxes.size(); ++bit)
            Mark(u.boxes.at(bit), BitDiffers(UserAttributeByte(family, n), bit));
    }
}

void SectionUsuarios::Decode(const ProgrammingImage& image) {
    DecodeFields(image);
    for (int n = 1; n <= m_users.size(); ++n) {
        const User& u = m_users.at(n - 1);
        u.code->setText(image.userCode(n));
        const quint8 bits = image.userAttributes(n);
        for (int bit = 0; bit < u.boxes.size(); ++bit)
            u.boxes.at(bit)->setChecked(bits & (1u << bit));
    }
}
