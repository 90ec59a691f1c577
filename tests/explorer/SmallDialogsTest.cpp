#include "common/KivModalDriver.h"
#include "explorer/KivCenterWindow.h"
#include "explorer/KivCustomControl.h"
#include "explorer/KivHyperLink.h"
#include "explorer/KivIcons.h"
#include "explorer/KivUrlOpener.h"
#include "explorer/dialogs/AboutDlg.h"
#include "explorer/dialogs/AppInfoDlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>

TEST(AboutDlgTest, ShowsVersionMakerAndLinksThatOpenTheirAddresses) {
    std::vector<QUrl> opened;
    KivUrlOpenerScope opener([&](const QUrl& url) {
        opened.push_back(url);
        return true;
    });
    AboutDlg dialog;
    EXPECT_EQ(dialog.objectName(), QStringLiteral("AboutDlg"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("About..."));
    EXPECT_EQ(dialog.Version()->text(), QStringLiteral("Kiv Repository Tools - V0.9"));
    EXPECT_EQ(KivChild<QLabel>(&dialog, "oDCMaker")->text(),
              QStringLiteral("Kiv Repository Tools developers"));
    EXPECT_FALSE(KivChild<QLabel>(&dialog, "oDCIcon")->pixmap().isNull());
    auto* close = KivChild<QPushButton>(&dialog, "oCCClosePB");
    EXPECT_EQ(close->text(), QStringLiteral("&Close"));
    EXPECT_TRUE(close->isDefault());

    dialog.show();
    for (KivHyperLink* link : {dialog.HomePage(), dialog.EMail()})
        QTest::mouseClick(link, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 2u);
    EXPECT_EQ(opened[0], QUrl(QStringLiteral("https://kiv-tools.example.org")));
    EXPECT_EQ(opened[1], QUrl(QStringLiteral("mailto:team@kiv-tools.example.org")));

    KivModalDriver driver(QStringLiteral("AboutDlg"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCClosePB")->click(); });
    dialog.hide();
    dialog.exec();
}

TEST(AppInfoDlgTest, ListsTheLibrariesInTheOrderGiven) {
    AppInfoDlg dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Application Informations"));
    dialog.AddLibrary("System Library");
    dialog.AddLibrary("GUI Classes");
    dialog.AddLibrary("Caf\xe9 Tools");
    dialog.AddLibrary("Aardvark");
    QListWidget* list = KivChild<QListWidget>(&dialog, "LibList");
    ASSERT_EQ(list->count(), 4);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("System Library"));
    EXPECT_EQ(list->item(2)->text(), QString::fromUtf8("Café Tools"));
    EXPECT_EQ(list->item(3)->text(), QStringLiteral("Aardvark"));
    EXPECT_EQ(KivChild<QPushButton>(&dialog, "oCCClosePB")->text(), QStringLiteral("&Close"));
    KivModalDriver driver(QStringLiteral("AppInfoDlg"),
                          [](QWidget* w) { KivChild<QPushButton>(w, "oCCClosePB")->click(); });
    dialog.exec();
}

TEST(CenterWindowTest, MovesTheWindowToTheMiddleKeepingItsSize) {
    QWidget window;
    window.resize(301, 151);
    window.move(3, 5);
    window.show();
    const QSize size = window.frameGeometry().size();
    KivCenterWindow(&window);
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const int right = screen.x() + screen.width(), bottom = screen.y() + screen.height();
    EXPECT_EQ(window.frameGeometry().topLeft(),
              QPoint(right / 2 - size.width() / 2, bottom / 2 - size.height() / 2));
    EXPECT_EQ(window.frameGeometry().size(), size);
    KivCenterWindow(nullptr); // nothing to move
}

namespace {

// Records the order of the paint cycle.
class Painted final : public KivCustomControl {
public:
    int paints = 0;

protected:
    void OnPaint(QPainter&) override { ++paints; }
};

} // namespace

TEST(CustomControlTest, ClearsBeforeOnPaintWhenAsked) {
    Painted control;
    control.resize(10, 10);
    QImage target(10, 10, QImage::Format_ARGB32);
    target.fill(Qt::black);
    control.NeedClear = true;
    control.Background(QBrush(Qt::green));
    control.render(&target, {}, {}, QWidget::RenderFlags());
    EXPECT_EQ(control.paints, 1);
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::green));
    EXPECT_EQ(control.GetRect(), QRect(0, 0, 10, 10));
    EXPECT_EQ(control.Width(), 10);

    control.NeedClear = false;
    target.fill(Qt::black);
    control.render(&target, {}, {}, QWidget::RenderFlags());
    EXPECT_EQ(target.pixelColor(5, 5), QColor(Qt::black));
}

TEST(CustomControlTest, ThreeDFramesPutTheDarkEdgeWhereTheLightComesFrom) {
    Painted control;
    QImage image(20, 20, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    control.Draw3DBox(painter, QRect(0, 0, 10, 10));
    control.Draw3DBoxRaised(painter, QRect(10, 10, 10, 10));
    control.DrawBox(painter, QRect(10, 0, 10, 10));
    painter.end();
    const QPalette& p = control.palette();
    const QRgb dark = p.color(QPalette::Dark).rgb(), light = p.color(QPalette::Light).rgb(),
               face = p.color(QPalette::Button).rgb();
    ASSERT_NE(dark, light);
    EXPECT_EQ(image.pixel(0, 5), dark);    // sunken: left dark
    EXPECT_EQ(image.pixel(5, 0), dark);    // and top
    EXPECT_EQ(image.pixel(9, 5), light);   // right light
    EXPECT_EQ(image.pixel(5, 9), light);   // and bottom
    EXPECT_EQ(image.pixel(5, 5), face);    // filled with the face colour
    EXPECT_EQ(image.pixel(10, 15), light); // raised: left light
    EXPECT_EQ(image.pixel(15, 19), dark);  // bottom dark
    EXPECT_EQ(image.pixel(10, 5), p.color(QPalette::WindowText).rgb());
    EXPECT_EQ(image.pixel(15, 5), QColor(Qt::white).rgb()); // a plain box is not filled
}

TEST(IconsTest, DrawnSharpAtEverySize) {
    for (const char* name : {"ICON_CODE", "AA_ICON"}) {
        QIcon icon = KivIcon(name);
        ASSERT_FALSE(icon.isNull()) << name;
        for (qreal ratio : {1.0, 2.0, 3.0}) {
            QPixmap pm = icon.pixmap(QSize(16, 16), ratio);
            EXPECT_EQ(pm.size(), QSize(16, 16) * ratio) << name; // drawn for the screen, not scaled up
            QImage image = pm.toImage();
            int opaque = 0;
            for (int y = 0; y < image.height(); ++y)
                for (int x = 0; x < image.width(); ++x)
                    opaque += qAlpha(image.pixel(x, y)) == 255;
            EXPECT_GT(opaque, image.width() * image.height() / 4) << name << " at " << ratio;
        }
    }
    EXPECT_TRUE(KivIcon("ICON_NONE").isNull());
}
