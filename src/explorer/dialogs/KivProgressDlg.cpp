#include "explorer/dialogs/KivProgressDlg.h"

#include "explorer/KivAllButPaint.h"
#include "explorer/KivAnsi.h"
#include "explorer/dialogs/KivNamed.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>
#include <climits>

namespace {

int Clamp(uint32_t value) {
    return static_cast<int>(std::min<uint32_t>(value, INT_MAX));
}

} // namespace

KivProgressDlg::KivProgressDlg(QWidget* owner) : QDialog(owner) {
    setModal(false);
    m_grid = new QGridLayout(this);
    m_grid->setColumnStretch(1, 1);
    m_grid->setColumnMinimumWidth(1, 300);
}

KivProgressDlg::Bar KivProgressDlg::AddBar(const char* progressName, const char* labelName,
                                           const char* textName, const char* label) {
    Bar bar;
    bar.label = new QLabel(QString::fromLatin1(label), this);
    bar.label->setObjectName(QLatin1String(labelName));
    bar.text = new QLabel(this);
    bar.text->setObjectName(QLatin1String(textName));
    bar.text->setTextFormat(Qt::PlainText);
    // A long name must not widen the dialog.
    bar.text->setMinimumWidth(1);
    bar.text->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    bar.progress = new QProgressBar(this);
    bar.progress->setObjectName(QLatin1String(progressName));
    bar.progress->setRange(0, 100);
    bar.progress->setValue(0);
    bar.progress->setTextVisible(false);
    const int row = m_rows;
    m_rows += 2;
    m_grid->addWidget(bar.label, row, 0);
    m_grid->addWidget(bar.text, row, 1);
    m_grid->addWidget(bar.progress, row + 1, 0, 1, 2);
    return bar;
}

void KivProgressDlg::Register(int bar, const Bar& parts) {
    if (bar == 0 || bar == 1)
        m_bars[bar] = parts;
}

void KivProgressDlg::Finish() {
    auto* cancel = KivNamed(new QPushButton(QStringLiteral("&Cancel"), this), "oCCCancelPB");
    connect(cancel, &QPushButton::clicked, this, &KivProgressDlg::CancelPB);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cancel);
    buttons->addStretch();
    m_grid->addLayout(buttons, m_rows, 0, 1, 2);
    m_grid->setSizeConstraint(QLayout::SetFixedSize);
    show();
}

const KivProgressDlg::Bar* KivProgressDlg::Find(int bar) const {
    if (bar < 0 || bar > 1 || !m_bars[bar].progress)
        return nullptr;
    return &m_bars[bar];
}

void KivProgressDlg::SetCaption(const std::string& caption) {
    setWindowTitle(KivFromAnsi(caption));
}

void KivProgressDlg::SetRange(int bar, uint32_t minimum, uint32_t maximum) {
    if (const Bar* b = Find(bar))
        b->progress->setRange(Clamp(minimum), Clamp(maximum));
}

void KivProgressDlg::SetPosition(int bar, uint32_t position) {
    if (const Bar* b = Find(bar))
        b->progress->setValue(std::clamp(Clamp(position), b->progress->minimum(), b->progress->maximum()));
}

void KivProgressDlg::SetText(int bar, const std::string& text) {
    if (const Bar* b = Find(bar))
        b->text->setText(KivFromAnsi(text));
}

void KivProgressDlg::SetLabel(int bar, const std::string& label) {
    if (const Bar* b = Find(bar))
        b->label->setText(KivFromAnsi(label));
}

void KivProgressDlg::SetWaitText(const std::string& text) {
    SetText(0, text);
}

bool KivProgressDlg::CancelRequested() {
    update();
    KivAllButPaint(this);
    return lNeedAbort;
}

void KivProgressDlg::CancelPB() {
    lNeedAbort = true;
}

void KivProgressDlg::reject() {
    CancelPB();
}

void KivProgressDlg::closeEvent(QCloseEvent* event) {
    CancelPB();
    event->ignore();
}
