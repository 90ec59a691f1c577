#include "explorer/KivIcons.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QStyle>
#include <QStyleOption>
#include <QSvgRenderer>

#include <memory>

namespace {

// Renders the SVG at the exact size requested instead of scaling one bitmap.
class SvgIconEngine final : public QIconEngine {
public:
    explicit SvgIconEngine(std::shared_ptr<QSvgRenderer> renderer) : m_renderer(std::move(renderer)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatioF() : 1.0;
        painter->drawPixmap(rect, scaledPixmap((QSizeF(rect.size()) * ratio).toSize(), mode, state, ratio));
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return scaledPixmap(size, mode, state, 1.0);
    }

    // QIcon asks with the size in device pixels already: render exactly that many.
    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State, qreal scale) override {
        QPixmap pm(size);
        pm.fill(Qt::transparent);
        {
            QPainter painter(&pm);
            m_renderer->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        }
        if (mode == QIcon::Disabled && qApp) {
            QStyleOption option;
            pm = QApplication::style()->generatedIconPixmap(QIcon::Disabled, pm, &option);
        }
        pm.setDevicePixelRatio(scale);
        return pm;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override { return size; }
    QIconEngine* clone() const override { return new SvgIconEngine(m_renderer); }
    QString key() const override { return QStringLiteral("KivSvgIcon"); }

private:
    std::shared_ptr<QSvgRenderer> m_renderer;
};

} // namespace

// Q_INIT_RESOURCE declares its function where it stands: it must be outside any namespace.
static void RegisterResources() {
    // The resources live in a static library: nothing else would pull their registration in.
    static const bool registered = [] {
        Q_INIT_RESOURCE(kiv_explorer);
        return true;
    }();
    (void)registered;
}

QIcon KivIcon(const char* name) {
    RegisterResources();
    auto renderer = std::make_shared<QSvgRenderer>(QStringLiteral(":/icons/%1.svg").arg(QLatin1String(name)));
    if (!renderer->isValid())
        return {};
    return QIcon(new SvgIconEngine(std::move(renderer)));
}

QIcon KivToolbarIcon(int index) {
    RegisterResources();
    auto renderer = std::make_shared<QSvgRenderer>(QStringLiteral(":/icons/EXPL_TOOLBAR.svg"));
    const QRect strip = renderer->viewBox();
    if (!renderer->isValid() || index < 1 || index * 16 > strip.width())
        return {};
    renderer->setViewBox(QRect(strip.x() + (index - 1) * 16, strip.y(), 16, 16));
    return QIcon(new SvgIconEngine(std::move(renderer)));
}
