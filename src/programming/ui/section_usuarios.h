#pragma once

#include "programming/ui/section_widget.h"

#include <QVector>

class FieldBinder;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QMenu;

// "Usuários": the master and installer codes and every user's name, code and attribute boxes.
// The codes show their digits and can be changed only with "Ver senhas dos usuários" (otherwise
// "*" and read-only); the user panels are enabled only with "Alterar senhas e atributos dos
// usuários". The pop-up menu of a user's group marks or clears one attribute for every user, or
// every attribute of that user.
class SectionUsuarios : public SectionWidget {
    Q_OBJECT
public:
    SectionUsuarios(EditorContext& context, FieldBinder& names, QWidget* parent = nullptr);
    void ApplyVariant() override;

    QLineEdit* CodeField(int user) const { return m_users.at(user - 1).code; }
    QCheckBox* AttributeBox(int user, int bit) const { return m_users.at(user - 1).boxes.at(bit); }

protected:
    void Decode(const ProgrammingImage& image) override;
    void MarkOwnDifferences() override;

private:
    struct User {
        QGroupBox* group = nullptr;
        QLineEdit* code = nullptr;
        QVector<QCheckBox*> boxes; // by attribute bit
    };
    QLineEdit* AddCodeField(ProgField field, const char* name);
    void AttributeClicked(int user);
    void ShowMenu(int user, const QPoint& at);
    void MarkEveryUser(int bit, bool on);
    void MarkUser(int user, bool on);

    QLineEdit* edtSenhaMaster = nullptr;
    QLineEdit* edtSenhaInstalador = nullptr;
    QVector<User> m_users;
};
