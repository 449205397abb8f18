// The browser backend's resources and options: the menu bar and the dialogs handed to the
// page as JSON, the icon, the player's options in the page's storage.
#include <emscripten/emscripten.h>

#include <algorithm>
#include <cstdio>
#include <string>

#include "platform/web/NativeWindow.h"
#include "platform/wnd/Dialog.h"
#include "platform/wnd/DialogLayout.h"

namespace {

void AppendJsonString(std::string& json, const char* text)
{
    json += '"';
    for (const char* c = text ? text : ""; *c; ++c) {
        if (*c == '"' || *c == '\\') {
            json += '\\';
            json += *c;
        } else if (static_cast<unsigned char>(*c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", unsigned(static_cast<unsigned char>(*c)));
            json += escaped;
        } else {
            json += *c;
        }
    }
    json += '"';
}

// "text" as shown and "mnemonic", its place in the text (-1 for none), for the page to
// underline; a text without marks shows as it is.
void AppendShownText(std::string& json, const char* text, bool marked)
{
    int mnemonic = -1;
    json += "\"text\":";
    AppendJsonString(json, marked ? MnemonicText(text, &mnemonic).c_str() : text);
    json += ",\"mnemonic\":" + std::to_string(mnemonic);
}

void AppendMenuItems(std::string& json, std::span<const MenuItemTemplate> items)
{
    json += '[';
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            json += ',';
        json += '{';
        AppendShownText(json, items[i].text, true);
        json += ",\"command\":" + std::to_string(items[i].command) + ",\"items\":";
        AppendMenuItems(json, items[i].popup);
        json += '}';
    }
    json += ']';
}

std::string JsonRect(const CRect& r)
{
    return "\"x\":" + std::to_string(r.left) + ",\"y\":" + std::to_string(r.top) + ",\"width\":" +
           std::to_string(r.Width()) + ",\"height\":" + std::to_string(r.Height());
}

const char* KindName(DialogControl kind)
{
    switch (kind) {
    case DialogControl::Static: return "static";
    case DialogControl::PushButton: return "button";
    case DialogControl::DefPushButton: return "default";
    case DialogControl::Edit: return "edit";
    }
    return "static";
}

// The open dialog with edits, whose OK the page hands back (vexlor_from_page_dialog_ok).
CDialog* s_pageDialog = nullptr;
const DialogTemplate* s_pageTemplate = nullptr;

// The dialog's text for a control, where it set one, else the template's.
const char* ItemText(const CDialog& dialog, const DialogItemLayout& item)
{
    for (const DialogItemText& text : dialog.m_itemTexts)
        if (text.id == item.id)
            return text.text.c_str();
    return item.text.c_str();
}

}  // namespace

extern "C" EMSCRIPTEN_KEEPALIVE int vexlor_from_page_dialog_ok()
{
    if (!s_pageDialog)
        return 1;
    char text[256];
    for (const DialogItemTemplate& item : s_pageTemplate->items)
        if (item.kind == DialogControl::Edit) {
            vexlor_to_page_dialog_text(int(item.id), text, int(sizeof text));
            s_pageDialog->SetDlgItemText(item.id, text);
        }
    if (s_pageDialog->OnOK()) {
        s_pageDialog = nullptr;
        return 1;
    }
    for (const DialogItemText& item : s_pageDialog->m_itemTexts)
        vexlor_to_page_set_dialog_text(int(item.id), item.text.c_str());
    return 0;
}

namespace backend {

void SetMenuBar(CNativeWindow& frame, const MenuTemplate& menu)
{
    std::string json;
    AppendMenuItems(json, menu.items);
    vexlor_to_page_set_menu(frame.m_slot, json.c_str());
    UpdateClientSize(frame);
}

void CheckMenuItem(CNativeWindow&, UINT command, bool checked)
{
    vexlor_to_page_check_menu(int(command), checked ? 1 : 0);
}

void SetIcon(CNativeWindow&, const IconResource& icon)
{
    // The page has one icon: the largest image.
    const IconImage* largest = nullptr;
    for (const IconImage& image : icon.images) {
        if (!largest || image.size > largest->size)
            largest = &image;
    }
    if (!largest)
        return;
    const int count = largest->size * largest->size;
    const auto rgba = std::make_unique<std::uint32_t[]>(std::size_t(count));
    for (int i = 0; i < count; ++i)
        rgba[i] = PagePixel(largest->pixels[i]);
    vexlor_to_page_set_icon(rgba.get(), largest->size);
}

// Shown at once and modal for the user; it closes on its own later (see Backend.h). The
// page measures its font; the items go to it laid out, statics with the text they show.
int RunModalDialog(const DialogTemplate& dialog, CDialog& texts, CNativeWindow* owner)
{
    int measured[2] = {};
    vexlor_to_page_measure_dialog_font(DialogPointSize(dialog), measured);
    const int lineHeight = measured[1];
    const DialogLayout layout = LayOutDialog(dialog, BaseUnitsFromAlphabet(measured[0], lineHeight), lineHeight);
    std::string json = "{\"title\":";
    AppendJsonString(json, dialog.title);
    json += ",\"pointSize\":" + std::to_string(DialogPointSize(dialog)) + ",\"lineHeight\":" +
            std::to_string(lineHeight) + "," + JsonRect(CRect(0, 0, layout.client.cx, layout.client.cy)) +
            ",\"items\":[";
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const DialogItemLayout& item = layout.items[i];
        json += i > 0 ? ",{\"kind\":\"" : "{\"kind\":\"";
        json += KindName(item.kind);
        json += "\",";
        // A static's text is laid out as it shows.
        const bool marked = item.kind != DialogControl::Static && item.kind != DialogControl::Edit;
        AppendShownText(json, ItemText(texts, item), marked);
        json += ",\"id\":" + std::to_string(item.id) + "," + JsonRect(item.rect) + "}";
    }
    json += "]}";
    const bool edits = std::any_of(dialog.items.begin(), dialog.items.end(),
                                   [](const DialogItemTemplate& item) { return item.kind == DialogControl::Edit; });
    s_pageDialog = edits ? &texts : nullptr;
    s_pageTemplate = &dialog;
    vexlor_to_page_run_dialog(json.c_str(), owner ? owner->m_slot : -1);
    return 0;
}

bool LoadOption(const char* name, bool fallback)
{
    return vexlor_to_page_load_option(name, fallback ? 1 : 0) != 0;
}

void SaveOption(const char* name, bool value)
{
    vexlor_to_page_save_option(name, value ? 1 : 0);
}

}  // namespace backend
