#pragma once

#include <QAbstractNativeEventFilter>
#include <QObject>
#include <QPointer>

class QWidget;

// Tells when the window system destroys a widget's window behind Qt's back, as another program
// may do on X11 (a tool's "close window" that destroys the window instead of asking the
// program). The widget then lives on and believes itself shown, but nothing can show it again:
// whoever owns it should make a new one. Watches X11 only; elsewhere it never tells.
class NativeWindowWatch : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT

public:
    explicit NativeWindowWatch(QWidget *watched);
    ~NativeWindowWatch() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

Q_SIGNALS:
    void windowDestroyed();

private:
    QPointer<QWidget> m_watched;
};
