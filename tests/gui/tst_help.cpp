// Help by topic number: every topic a window names has a page shipped with the program, F1's page
// opens in the program's own help window, and a company's own page in the application folder
// takes the shipped one's place.
#include "widgets/help.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBrowser>
#include <QWidget>

class TestHelp : public QObject {
    Q_OBJECT

    QTemporaryDir m_home;

    static QTextBrowser* shownBrowser() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == QLatin1String("frmAjuda"))
                return w->findChild<QTextBrowser*>(QStringLiteral("txtAjuda"));
        }
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() { qputenv("TELVORA_HOME", m_home.path().toLocal8Bit()); }

    // The topic numbers are read from the sources, so a new window without a page fails here.
    void everyTopicInTheSourcesHasAPage() {
        const QRegularExpression use(QStringLiteral(R"((?:SetHelpTopic|ShowHelpTopic)\([^,]+,\s*(\d+)\))"));
        QSet<int> topics;
        QDirIterator it(qEnvironmentVariable("TELVORA_SOURCE_DIR") + QStringLiteral("/src"),
                        {QStringLiteral("*.cpp")}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto m = use.globalMatch(text); m.hasNext();)
                topics.insert(m.next().captured(1).toInt());
        }
        QVERIFY(topics.contains(1) && topics.contains(3) && topics.contains(30));
        for (int topic : topics) {
            QVERIFY2(ShowHelpTopic(nullptr, topic), qPrintable(QString::number(topic)));
            QTextBrowser* browser = shownBrowser();
            QVERIFY(browser);
            QVERIFY2(!browser->documentTitle().isEmpty(), qPrintable(QString::number(topic)));
            QCOMPARE(browser->window()->windowTitle(), browser->documentTitle());
        }
    }

    // Every page shipped is reachable from the index, and every link of a page leads to a page.
    void indexListsEveryPageAndLinksResolve() {
        QSet<QString> pages;
        for (QDirIterator it(QStringLiteral(":/help"), {QStringLiteral("*.html")}, QDir::Files);
             it.hasNext();)
            pages.insert(QFileInfo(it.next()).fileName());
        QVERIFY(pages.size() > 20);
        const QRegularExpression link(QStringLiteral("href=\"([^\"#]+\\.html)\""));
        QSet<QString> linkedFromIndex;
        for (const QString& page : std::as_const(pages)) {
            QFile file(QStringLiteral(":/help/") + page);
            QVERIFY(file.open(QIODevice::ReadOnly));
            const QString text = QString::fromUtf8(file.readAll());
            for (auto m = link.globalMatch(text); m.hasNext();) {
                const QString target = m.next().captured(1);
                QVERIFY2(pages.contains(target), qPrintable(page + " -> " + target));
                if (page == QLatin1String("1.html"))
                    linkedFromIndex.insert(target);
            }
        }
        pages.remove(QStringLiteral("1.html"));
        QCOMPARE(pages - linkedFromIndex, QSet<QString>());
    }

    void applicationFolderPageTakesPrecedence() {
        QVERIFY(QDir(m_home.path()).mkpath(QStringLiteral("Help")));
        QFile own(m_home.filePath(QStringLiteral("Help/3.html")));
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("<html><head><title>Ajuda da empresa</title></head><body>x</body></html>");
        own.close();
        QCOMPARE(HelpTopicFile(3), own.fileName());
        QVERIFY(ShowHelpTopic(nullptr, 3));
        QCOMPARE(shownBrowser()->documentTitle(), QStringLiteral("Ajuda da empresa"));
        QCOMPARE(HelpTopicFile(22), QStringLiteral(":/help/22.html"));
    }
};

QTEST_MAIN(TestHelp)
#include "tst_help.moc"
