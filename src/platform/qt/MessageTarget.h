#pragma once
// A window's message queue on Qt's event loop: posted messages become events of this object and reach
// the handler on the thread the object lives in (the UI thread), in the order posted. Messages still
// queued when the object is destroyed are dropped with it.

#include <QObject>
#include <functional>

#include "platform/IMessageTarget.h"

namespace platform {

class MessageTarget final : public QObject, public IMessageTarget {
public:
    using Handler = std::function<void(uint32_t message, uintptr_t wParam, intptr_t lParam)>;

    explicit MessageTarget(Handler handler, QObject* parent = nullptr);

    void Post(uint32_t message, uintptr_t wParam, intptr_t lParam) override;

protected:
    bool event(QEvent* e) override;

private:
    Handler handler_;  // called on this object's thread only
};

}  // namespace platform
