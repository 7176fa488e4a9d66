// The permission editor: the dependencies between the boxes (in the model and on the window), an
// empty text showing every box clear, and the popup's page and whole-list entries.
#include "access/permission_boxes.h"
#include "access/ui/frm_permissoes.h"
#include "gui/gui_helpers.h"

#include <QCheckBox>
#include <QtTest>

class TestPermissionEditor : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void dependencies_data() {
        QTest::addColumn<int>("master");
        QTest::addColumn<QList<int>>("dependents");
        QTest::newRow("communication") << 4 << QList<int>{5, 6, 7, 8, 9, 10, 11, 12, 13, 40};
        QTest::newRow("general settings") << 40 << QList<int>{5, 6, 7, 8};
        QTest::newRow("additional settings") << 9 << QList<int>{10, 11, 12, 13};
        QTest::newRow("operators") << 14 << QList<int>{15, 16, 17};
        QTest::newRow("monitoring") << 22 << QList<int>{23, 24, 25, 26, 27, 28, 38};
        QTest::newRow("events") << 29 << QList<int>{30, 31, 32};
        QTest::newRow("programming") << 33 << QList<int>{20, 21, 34, 35, 36, 37};
    }
    void dependencies() {
        QFETCH(int, master);
        QFETCH(QList<int>, dependents);
        PermissionBoxes boxes = PermissionBoxes::FromText(QString(40, QLatin1Char('1')));
        boxes.Click(master, false);
        for (int d : dependents)
            QVERIFY2(!boxes.Checked(d) && !boxes.Enabled(d), qPrintable(QString::number(d)));
        QVERIFY(boxes.Checked(1) && boxes.Checked(18) && boxes.Checked(39)); // stand alone
        boxes.Click(master, true);
        // Not checked again by themselves; a dependent of a second master (5 of 4 and 40) stays
        // disabled until that one is checked too.
        for (int d : dependents)
            QVERIFY2(!boxes.Checked(d), qPrintable(QString::number(d)));
        QCOMPARE(boxes.Enabled(dependents.last()), master != 4 || dependents.last() == 40);
        if (master == 4) {
            QVERIFY(boxes.Enabled(40) && !boxes.Enabled(5));
            boxes.Click(40, true);
            QVERIFY(boxes.Enabled(5));
        }
    }

    void theWindow() {
        // An empty text shows every box clear, and the dependents of the masters disabled.
        {
            TfrmPermissoes editor{QString()};
            QVERIFY(!Find<QCheckBox>(&editor, "chk1")->isChecked());
            QVERIFY(!Find<QCheckBox>(&editor, "chk5")->isEnabled());
            QCOMPARE(editor.Permissoes(), QString(40, QLatin1Char('0')));
        }
        TfrmPermissoes editor(QString(40, QLatin1Char('1')));
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        auto* chk4 = Find<QCheckBox>(&editor, "chk4");
        QTest::mouseClick(chk4, Qt::LeftButton, {}, QPoint(8, chk4->height() / 2));
        for (int p : {5, 6, 7, 8, 9, 10, 11, 12, 13, 40}) {
            auto* box = Find<QCheckBox>(&editor, qPrintable(QStringLiteral("chk%1").arg(p)));
            QVERIFY2(!box->isChecked() && !box->isEnabled(), qPrintable(QString::number(p)));
        }
        QCOMPARE(editor.Permissoes(), QStringLiteral("111") + QString(10, QLatin1Char('0')) +
                                          QString(26, QLatin1Char('1')) + QLatin1Char('0'));
    }
};

QTEST_MAIN(TestPermissionEditor)
#include "tst_permission_editor.moc"
