// A wizard page as message target: the handle that the worker and the
// plug-ins talk to. Its functions may be called from any thread; the page
// handles everything on its own (the GUI) thread.
//
//   post           queued; a text the message points to is copied at once,
//                  since the sender reuses its buffer
//   send, item text, show item, message box
//                  carried out on the GUI thread; the caller waits until done
#pragma once

#include <QObject>
#include <string>

#include "plugin_api/message_target.h"

class QWidget;

namespace gui {

// What a page does with what reaches it through its handle.
class MessageReceiver {
  public:
    virtual ~MessageReceiver() = default;
    // text: the copied text of a message that carries one, else empty.
    virtual void OnMessage(UINT message, WPARAM wParam, LPARAM lParam, const std::string& text) = 0;
    virtual int OnMessageBox(const std::string& text, UINT style) = 0;
};

class PageTarget : public QObject {
    Q_OBJECT

  public:
    // page: the widget whose children are the controls, found by their ids
    // as object names. Both must outlive this object.
    PageTarget(QWidget* page, MessageReceiver* receiver);
    PageTarget(const PageTarget&) = delete;
    PageTarget& operator=(const PageTarget&) = delete;

    HWND Handle() { return &target_; }

    // The page widget behind a handle of a Qt page; null for any other
    // handle (a console page, a test double) and for null.
    static QWidget* PageOf(HWND handle);

  private:
    template <class Function>
    void OnPageThread(Function&& function);
    QWidget* Control(int itemId) const;

    static int Post(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT Send(HWND__* target, UINT message, WPARAM wParam, LPARAM lParam);
    static int SetItemText(HWND__* target, int itemId, const char* text);
    static int ShowItem(HWND__* target, int itemId, int show);
    static int Box(HWND__* target, const char* text, UINT style);

    HWND__ target_;
    QWidget* page_;
    MessageReceiver* receiver_;
};

}  // namespace gui
