// The frame's resources as Qt objects: the menu bar and the icon.
#include <QIcon>
#include <QMenuBar>

#include "platform/qt/NativeWindow.h"
#include "platform/wnd/Backend.h"

namespace {

// WM_COMMAND's high word of wParam tells where a command came from.
constexpr UINT kFromMenu = 0;

template <class Menu>
void AddItems(Menu* menu, std::span<const MenuItemTemplate> items, CNativeWindow* frame)
{
    for (const MenuItemTemplate& item : items) {
        const QString text = QString::fromUtf8(item.text ? item.text : "");
        if (!item.popup.empty()) {
            AddItems(menu->addMenu(text), item.popup, frame);
        } else if (item.command == 0) {
            menu->addSeparator();
        } else {
            QAction* const action = menu->addAction(text);
            const UINT command = item.command;
            action->setData(command);
            QObject::connect(action, &QAction::triggered, frame,
                             [frame, command] { frame->PostCommand(command, kFromMenu); });
        }
    }
}

}  // namespace

namespace backend {

void SetMenuBar(CNativeWindow& frame, const MenuTemplate& menu)
{
    auto* const bar = new QMenuBar(&frame);
    AddItems(bar, menu.items, &frame);
    frame.SetMenuBar(bar);
}

void PostCommand(CNativeWindow& window, UINT id, UINT source)
{
    window.PostCommand(id, source);
}

void CheckMenuItem(CNativeWindow& frame, UINT command, bool checked)
{
    for (QAction* const action : frame.findChildren<QAction*>()) {
        if (action->data() == QVariant(command)) {
            action->setCheckable(true);
            action->setChecked(checked);
        }
    }
}

void SetWindowTitle(CNativeWindow& window, const std::string& title)
{
    window.setWindowTitle(QString::fromStdString(title));
}

void SetIcon(CNativeWindow& frame, const IconResource& icon)
{
    QIcon result;
    for (const IconImage& image : icon.images) {
        const QImage pixels(reinterpret_cast<const uchar*>(image.pixels), image.size, image.size, image.size * 4,
                            QImage::Format_ARGB32);
        result.addPixmap(QPixmap::fromImage(pixels));
    }
    frame.setWindowIcon(result);
}

}  // namespace backend
