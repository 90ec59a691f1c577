#pragma once

#include "support/KivProgress.h"

#include <QDialog>

class QGridLayout;
class QLabel;
class QProgressBar;
class QPushButton;

// What the two progress dialogs of the transfers share. They are modeless and show themselves as
// soon as they are made (the loop they follow starts right after). "&Cancel", Escape and the
// window's close button only set lNeedAbort: the dialog stays, and the loop decides when to stop
// at its next CancelRequested.
class KivProgressDlg : public QDialog, public KivProgress {
    Q_OBJECT
public:
    // Set by Cancel; nothing else reads or clears it but the loop.
    bool lNeedAbort = false;

    void SetCaption(const std::string& caption) override;
    void SetRange(int bar, uint32_t minimum, uint32_t maximum) override;
    void SetPosition(int bar, uint32_t position) override;
    void SetText(int bar, const std::string& text) override;
    void SetLabel(int bar, const std::string& label) override;
    void SetWaitText(const std::string& text) override;
    // Repaints, pumps events with KivAllButPaint (input for other windows is dropped), then
    // answers lNeedAbort.
    bool CancelRequested() override;

    void reject() override;

protected:
    explicit KivProgressDlg(QWidget* owner);

    struct Bar {
        QProgressBar* progress = nullptr;
        QLabel* label = nullptr;
        QLabel* text = nullptr;
    };
    // Adds one labelled bar in a row below the ones before; the dialog's layout is built by the
    // derived dialog through these.
    Bar AddBar(const char* progressName, const char* labelName, const char* textName, const char* label);
    // Adds "&Cancel" below the bars and fixes the dialog's height.
    void Finish();
    void Register(int bar, const Bar& parts);

    void closeEvent(QCloseEvent* event) override;

private:
    void CancelPB();
    const Bar* Find(int bar) const;

    Bar m_bars[2];
    QGridLayout* m_grid;
    int m_rows = 0;
};
