#include "explorer/KivHyperLink.h"
#include "common/KivModalDriver.h"
#include "common/KivTestHome.h"
#include "explorer/KivUrlOpener.h"
#include "support/KivError.h"
#include "support/KivStringUtil.h"

#include <QDialog>
#include <QTest>
#include <QVariant>

#include <vector>

namespace {

// A dialog with a method named like one of its links.
class LinkOwner final : public QDialog {
    Q_OBJECT
public:
    int calls = 0;
public slots:
    void ShowHelp() { ++calls; }
};

class HyperLinkTest : public ::testing::Test {
protected:
    std::vector<QUrl> m_opened;
    KivUrlOpenerScope m_opener{[this](const QUrl& url) {
        m_opened.push_back(url);
        return true;
    }};
    LinkOwner m_owner;
};

} // namespace

TEST_F(HyperLinkTest, LooksLikeALink) {
    KivHyperLink link(&m_owner);
    EXPECT_TRUE(link.Font().underline());
    EXPECT_EQ(link.TextColor(), QColor(0, 0, 255));
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.Action(), "");
}

TEST_F(HyperLinkTest, ClickOpensTheActionFirst) {
    KivHyperLink link(&m_owner);
    link.setObjectName(QStringLiteral("ShowHelp")); // the action wins over the owner's method
    link.Caption("Home page");
    link.Action("https://kiv-tools.example.org/help");
    link.resize(link.sizeHint());
    QTest::mouseClick(&link, Qt::LeftButton);
    ASSERT_EQ(m_opened.size(), 1u);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral("https://kiv-tools.example.org/help")));
    EXPECT_EQ(m_owner.calls, 0);
}

TEST_F(HyperLinkTest, WithoutActionTheOwnersMethodOfTheSameNameIsCalled) {
    KivHyperLink link(&m_owner);
    link.setObjectName(QStringLiteral("showhelp")); // names are matched ignoring case
    link.Caption("https://kiv-tools.example.org");
    link.resize(link.sizeHint());
    QTest::mouseClick(&link, Qt::LeftButton);
    EXPECT_EQ(m_owner.calls, 1);
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(HyperLinkTest, OtherwiseTheCaptionIsOpened) {
    KivHyperLink web(&m_owner);
    web.setObjectName(QStringLiteral("oDCHomePage"));
    web.Caption("https://kiv-tools.example.org");
    web.Follow();
    KivHyperLink bare(&m_owner);
    bare.Caption("www.example.org");
    bare.Follow();
    KivHyperLink mail(&m_owner);
    mail.Caption("mailto:team@kiv-tools.example.org");
    mail.Follow();
    ASSERT_EQ(m_opened.size(), 3u);
    EXPECT_EQ(m_opened[0], QUrl(QStringLiteral("https://kiv-tools.example.org")));
    EXPECT_EQ(m_opened[1].host(), QStringLiteral("www.example.org"));
    EXPECT_EQ(m_opened[2].scheme(), QStringLiteral("mailto"));
    EXPECT_EQ(m_owner.calls, 0);
}

TEST_F(HyperLinkTest, OnlyALeftReleaseOverTheLinkActs) {
    KivHyperLink link(&m_owner);
    link.Caption("https://kiv-tools.example.org");
    link.resize(link.sizeHint());
    QTest::mouseClick(&link, Qt::RightButton);
    QTest::mousePress(&link, Qt::LeftButton);
    QTest::mouseRelease(&link, Qt::LeftButton, {}, QPoint(link.width() + 20, 2)); // dragged away
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(HyperLinkTest, AssignTakesOnlyTheRightTypes) {
    KivHyperLink link(&m_owner);
    link.Assign("Caption", QString::fromUtf8("Café"));
    EXPECT_EQ(link.Caption(), "Caf\xe9");
    link.Assign("textvalue", QByteArray("Na\xefve"));
    EXPECT_EQ(link.TextValue(), "Na\xefve");
    link.Assign("Action", QStringLiteral("https://x.example.org"));
    EXPECT_EQ(link.Action(), "https://x.example.org");
    link.Assign("TextColor", QColor(Qt::red));
    EXPECT_EQ(link.TextColor(), QColor(Qt::red));
    QFont big;
    big.setPointSize(30);
    link.Assign("Font", big);
    EXPECT_EQ(link.Font().pointSize(), 30);
    link.Assign("Font", QVariant()); // nothing: the stock font
    EXPECT_EQ(link.Font(), QApplication::font(&link));

    struct Wrong {
        const char* property;
        QVariant value;
        uint32_t argType;
    };
    for (const Wrong& w :
         {Wrong{"Caption", QVariant(42), KivType::Long}, Wrong{"TextValue", QVariant(true), KivType::Logic},
          Wrong{"TextColor", QVariant(QStringLiteral("blue")), KivType::String},
          Wrong{"Font", QVariant(12.5), KivType::Float}, Wrong{"Action", QVariant(7), KivType::Long}}) {
        try {
            link.Assign(w.property, w.value);
            ADD_FAILURE() << w.property << " took a wrong type";
        } catch (const KivError& e) {
            EXPECT_STREQ(e.what(), "Invalid argument type.");
            EXPECT_EQ(e.Error().GenCode, KivGen::Arg);
            EXPECT_EQ(e.Error().FuncSym, "KIVHYPERLINK:" + KivUpper(w.property));
            EXPECT_EQ(e.Error().ArgType, w.argType) << w.property;
        }
    }
    // Nothing was changed by the refused assignments.
    EXPECT_EQ(link.TextValue(), "Na\xefve");
    EXPECT_EQ(link.TextColor(), QColor(Qt::red));
    EXPECT_EQ(link.Action(), "https://x.example.org");
    EXPECT_THROW(link.Assign("Colour", QColor(Qt::red)), KivError);
}

class UrlTargetTest : public KivTestHome {};

TEST_F(UrlTargetTest, TargetsBecomeUrlsAsTheShellTakesThem) {
    EXPECT_EQ(KivUrlFromTarget("https://kiv-tools.example.org/a b"),
              QUrl(QStringLiteral("https://kiv-tools.example.org/a b")));
    EXPECT_EQ(KivUrlFromTarget("mailto:team@kiv-tools.example.org").path(),
              QStringLiteral("team@kiv-tools.example.org"));
    EXPECT_EQ(KivUrlFromTarget(" www.example.org ").toString(), QStringLiteral("http://www.example.org"));
    WriteFile(Scratch() / "export.log", "x");
    EXPECT_EQ(KivUrlFromTarget(ScratchDos("EXPORT.LOG")),
              QUrl::fromLocalFile(QString::fromStdString((Scratch() / "export.log").string())));
    EXPECT_FALSE(KivUrlFromTarget("D:\\x.log").isValid()); // unmapped drive
    EXPECT_FALSE(KivUrlFromTarget("").isValid());
    EXPECT_FALSE(KivOpenUrl("  "));
}

#include "KivHyperLinkTest.moc"
