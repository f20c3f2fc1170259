#pragma once

#include <QByteArray>
#include <QObject>
#include <functional>

// The object a messenger exports at /MsnMsgrUIManager on the session bus.
class MessengerReceiver : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "nl.kavelo.MsnMsgrUIManager")
public:
    using Handler = std::function<void(uint dwData, const QByteArray& data)>;
    explicit MessengerReceiver(Handler handler) : handler_(std::move(handler)) {}

public slots:
    // The sender waits for this to return.
    void CopyData(uint dwData, const QByteArray& data);

private:
    Handler handler_;
};
