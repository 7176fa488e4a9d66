// Qt's own dialogs in the program's language: the standard buttons of a question read in
// Portuguese once the program has loaded Qt's translations.
#include "widgets/qt_translations.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

class TestQtTranslations : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void standardButtonsInPortuguese() {
        QVERIFY(InstallQtTranslations(*QCoreApplication::instance()));
        QMessageBox box(QMessageBox::Question, QStringLiteral("Telvora"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        const auto shown = [&box](QMessageBox::StandardButton b) {
            return box.button(b)->text().remove(QLatin1Char('&'));
        };
        QCOMPARE(shown(QMessageBox::Yes), QStringLiteral("Sim"));
        QCOMPARE(shown(QMessageBox::No), QStringLiteral("Não"));
        QCOMPARE(shown(QMessageBox::Cancel), QStringLiteral("Cancelar"));
    }
};

QTEST_MAIN(TestQtTranslations)
#include "tst_qt_translations.moc"
