#pragma once

#include "app/tipsession.h"

#include <QDialog>
#include <QPixmap>

class QCheckBox;
class QLabel;
class QPushButton;

namespace fw {
class Profile;
class ResourceTables;
} // namespace fw

// The tip of the day: one tip at a time from the tips file, on a white area under a bulb and
// "Did you know...". Making the dialog reads the first tip; destroying it stores where the next
// one begins (see TipSession). "&Close" also stores whether tips show at start-up; Escape and
// the close box leave that setting alone.
class CTipOfTheDayDialog : public QDialog {
    Q_OBJECT

public:
    static constexpr int kDialogId = 113;
    static constexpr int kTipAreaId = 1000;
    static constexpr int kShowAtStartUpId = 1001;
    static constexpr int kNextTipId = 1002;
    static constexpr int kTipTextId = 1004;
    static constexpr int kBulbBitmapId = 112;

    CTipOfTheDayDialog(fw::Profile &profile, const QString &tipsPath,
                       const fw::ResourceTables &tables, QWidget *parent = nullptr);
    ~CTipOfTheDayDialog() override;

    bool showAtStartUp() const { return m_session.showAtStartUp(); }
    QString tipText() const;
    // Shown when the tips file holds no tip at all.
    static QString noTipsText();

public slots:
    void accept() override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showTip(TipSession::Status status);
    void nextTip();

    TipSession m_session;
    const fw::ResourceTables &m_tables;
    QPixmap m_bulb;
    QWidget *m_tipArea = nullptr;
    QLabel *m_tipText = nullptr;
    QCheckBox *m_showAtStartUp = nullptr;
    QPushButton *m_nextTip = nullptr;
};
