#include "wizard/gui/page_target.h"

#include <QAbstractButton>
#include <QLabel>
#include <QThread>
#include <QWidget>
#include <utility>

#include "plugin_api/messages.h"
#include "wizard/gui/user_text.h"

namespace gui {
namespace {

PageTarget* Self(HWND__* target) {
    return static_cast<PageTarget*>(target->context);
}

std::string CopiedText(UINT message, LPARAM lParam) {
    return MessageCarriesText(message) && lParam != 0 ? std::string(ParamText(lParam))
                                                      : std::string();
}

}  // namespace

PageTarget::PageTarget(QWidget* page, MessageReceiver* receiver)
    : QObject(page),
      target_{&PageTarget::Post,     &PageTarget::Send, &PageTarget::SetItemText,
              &PageTarget::ShowItem, &PageTarget::Box,  this},
      page_(page),
      receiver_(receiver) {}

QWidget* PageTarget::PageOf(HWND handle) {
    if (handle == nullptr || handle->post != &PageTarget::Post) {
        return nullptr;
    }
    return Self(handle)->page_;
}

template <class Function>
void PageTarget::OnPageThread(Function&& function) {
    if (QThread::currentThread() == thread()) {
        function();
    } else {
        QMetaObject::invokeMethod(this, std::forward<Function>(function),
                                  Qt::BlockingQueuedConnection);
    }
}

QWidget* PageTarget::Control(int itemId) const {
    return page_->findChild<QWidget*>(QString::number(itemId));
}

int PageTarget::Post(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    PageTarget* self = Self(target);
    std::string text = CopiedText(message, lParam);
    return QMetaObject::invokeMethod(
               self,
               [self, message, wParam, lParam, text] {
                   self->receiver_->OnMessage(message, wParam, lParam, text);
               },
               Qt::QueuedConnection)
               ? 1
               : 0;
}

LRESULT PageTarget::Send(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam) {
    PageTarget* self = Self(target);
    std::string text = CopiedText(message, lParam);
    self->OnPageThread([self, message, wParam, lParam, &text] {
        self->receiver_->OnMessage(message, wParam, lParam, text);
    });
    return 0;
}

int PageTarget::SetItemText(HWND__* target, int itemId, const char* text) {
    PageTarget* self = Self(target);
    const QString value = UserText(text != nullptr ? text : "");
    int done = 0;
    self->OnPageThread([self, itemId, &value, &done] {
        QWidget* control = self->Control(itemId);
        if (auto* label = qobject_cast<QLabel*>(control)) {
            label->setText(value);
            done = 1;
        } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            button->setText(value);
            done = 1;
        }
    });
    return done;
}

int PageTarget::ShowItem(HWND__* target, int itemId, int show) {
    PageTarget* self = Self(target);
    int done = 0;
    self->OnPageThread([self, itemId, show, &done] {
        if (QWidget* control = self->Control(itemId)) {
            control->setVisible(show != 0);
            done = 1;
        }
    });
    return done;
}

int PageTarget::Box(HWND__* target, const char* text, UINT style) {
    PageTarget* self = Self(target);
    const std::string copy = text != nullptr ? text : "";
    int answer = 0;
    self->OnPageThread(
        [self, &copy, style, &answer] { answer = self->receiver_->OnMessageBox(copy, style); });
    return answer;
}

}  // namespace gui
