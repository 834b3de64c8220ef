#include "platform/qt/MessageBox.h"

#include <QApplication>
#include <QMessageBox>
#include <QString>
#include <QThread>
#include <atomic>
#include <mutex>
#include <vector>

#include "platform/posix/DebugOutput.h"
#include "text/WideText.h"

namespace platform {
namespace {

std::mutex gHandlerLock;
std::atomic<int> gWaiting{0};
MessageBoxHandler gHandler;            // guarded by gHandlerLock
std::vector<QMessageBox*> gOpenBoxes;  // UI thread

void ShowOnUiThread(const MessageBoxRecord& r) {
    QMessageBox box;
    box.setWindowTitle(QString::fromStdU16String(r.caption));
    box.setText(QString::fromStdU16String(r.text));
    box.setIcon(r.icon == MessageIcon::Error     ? QMessageBox::Critical
                : r.icon == MessageIcon::Warning ? QMessageBox::Warning
                                                 : QMessageBox::Information);
    box.setStandardButtons(QMessageBox::Ok);
    box.setWindowFlag(Qt::WindowStaysOnTopHint);
    gOpenBoxes.push_back(&box);
    box.exec();
    std::erase(gOpenBoxes, &box);
}

}  // namespace

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(gHandlerLock);
    return std::exchange(gHandler, std::move(handler));
}

void ShowMessageBox(const std::u16string& text, const std::u16string& caption, MessageIcon icon) {
    const MessageBoxRecord record{text, caption, icon};
    {
        std::lock_guard lock(gHandlerLock);
        if (gHandler) {
            gHandler(record);
            return;
        }
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (qobject_cast<QApplication*>(app) == nullptr) {
        // No widgets to show it with: say it where a developer can see it.
        DebugOutput((text::ToNarrow(caption) + ": " + text::ToNarrow(text) + "\n").c_str());
        return;
    }
    if (QThread::currentThread() == app->thread()) {
        ShowOnUiThread(record);
    } else {
        ++gWaiting;
        QMetaObject::invokeMethod(
            app, [record] { ShowOnUiThread(record); }, Qt::BlockingQueuedConnection);
        --gWaiting;
    }
}

void ShowMessageBoxLater(const std::u16string& text, const std::u16string& caption, MessageIcon icon) {
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread()) {
        ShowMessageBox(text, caption, icon);
        return;
    }
    QMetaObject::invokeMethod(
        app, [text, caption, icon] { ShowMessageBox(text, caption, icon); }, Qt::QueuedConnection);
}

bool MessageBoxWaiting() { return gWaiting.load() > 0; }

void CloseMessageBoxes() {
    for (QMessageBox* box : gOpenBoxes) box->reject();
}

}  // namespace platform
