#include "explorer/dialogs/SourceDlg.h"

#include "explorer/KivAnsi.h"
#include "explorer/KivIcons.h"
#include "explorer/KivSourceHighlighter.h"
#include "explorer/dialogs/KivNamed.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

#include <algorithm>

namespace {
constexpr int kGap = 8;
}

SourceDlg::SourceDlg(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("SourceDlg"));
    setWindowTitle(QStringLiteral("Source Dialog"));
    setWindowIcon(KivIcon("ICON_CODE"));
    setWindowFlag(Qt::WindowMaximizeButtonHint, true);

    m_source = KivNamed(new QPlainTextEdit(this), "SourceMLE");
    KivSourceView(m_source);
    m_highlighter = new KivSourceHighlighter(m_source->document());
    m_source->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_source->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    // The selection stays visible when the focus moves to "&Ok".
    QPalette palette = m_source->palette();
    palette.setColor(QPalette::Inactive, QPalette::Highlight,
                     palette.color(QPalette::Active, QPalette::Highlight));
    palette.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     palette.color(QPalette::Active, QPalette::HighlightedText));
    m_source->setPalette(palette);

    m_ok = KivNamed(new QPushButton(QStringLiteral("&Ok"), this), "oCCOkPB");
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    // The layout it is created with; resizing keeps these distances.
    const QSize size(720, 480);
    const QSize button = m_ok->sizeHint().expandedTo(QSize(88, 0));
    m_ok->setGeometry(size.width() - kGap - button.width(), size.height() - kGap - button.height(),
                      button.width(), button.height());
    m_source->setGeometry(kGap, kGap, size.width() - 2 * kGap, size.height() - 3 * kGap - button.height());
    m_sourceMargins = QMargins(kGap, kGap, kGap, 2 * kGap + button.height());
    m_okFromCorner = QPoint(size.width() - m_ok->x(), size.height() - m_ok->y());
    resize(size);
}

std::string SourceDlg::Caption() const {
    return KivToAnsi(windowTitle());
}

void SourceDlg::Caption(const std::string& caption) {
    setWindowTitle(KivFromAnsi(caption));
}

std::string SourceDlg::Text() const {
    QString shown = m_source->toPlainText();
    shown.replace(QLatin1String("\n"), QLatin1String("\r\n"));
    return KivToAnsi(shown);
}

void SourceDlg::Text(const std::string& text) {
    // Sources and logs end their lines with CR LF; the CR would show as a box.
    QString shown = KivFromAnsi(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_source->setPlainText(shown);
}

void SourceDlg::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    Arrange();
}

void SourceDlg::Arrange() {
    const int w = width(), h = height();
    const QMargins& m = m_sourceMargins;
    m_source->setGeometry(std::min(m.left(), w), std::min(m.top(), h), std::max(0, w - m.left() - m.right()),
                          std::max(0, h - m.top() - m.bottom()));
    m_ok->move(std::max(0, w - m_okFromCorner.x()), std::max(0, h - m_okFromCorner.y()));
}
