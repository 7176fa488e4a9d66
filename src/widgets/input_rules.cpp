#include "widgets/input_rules.h"

#include <QLineEdit>
#include <QRegularExpression>
#include <QRegularExpressionValidator>

void InputRules::AcceptOnly(QLineEdit* edit, const QString& characters) {
    QString set;
    for (QChar c : characters)
        set += c.isLetterOrNumber() ? QString(c) : QStringLiteral("\\") + c;
    edit->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[%1]*").arg(set)), edit));
}
