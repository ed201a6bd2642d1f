#include "ui/RichEdit.h"

#include <cstring>
#include <richedit.h>

#include "base/AppError.h"

using base::AppError;
using base::UniqueModule;

namespace ui {

namespace {

const wchar_t kRichEditClass[] = L"RICHEDIT50W";

// msftedit.dll from the system directory only, loaded once per process.
void LoadRichEditLibrary() {
    static UniqueModule library;
    if (library) {
        return;
    }
    library.reset(LoadLibraryExW(L"msftedit.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
    if (!library) {
        // Systems without the search flags: the full path in the system directory.
        wchar_t system[MAX_PATH];
        const UINT length = GetSystemDirectoryW(system, MAX_PATH);
        if (length > 0 && length < MAX_PATH) {
            library.reset(LoadLibraryW((std::wstring(system) + L"\\msftedit.dll").c_str()));
        }
    }
    if (!library) {
        throw AppError(L"Cannot load the rich-text control (msftedit.dll).");
    }
}

struct StreamSource {
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

DWORD CALLBACK ReadStream(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StreamSource*>(cookie);
    const std::size_t left = source->size - source->position;
    const std::size_t count = std::min<std::size_t>(left, static_cast<std::size_t>(wanted));
    std::memcpy(buffer, source->data + source->position, count);
    source->position += count;
    *given = static_cast<LONG>(count);
    return 0;
}

} // namespace

TRichEdit::TRichEdit(TWindow& parent) : TControl(parent) {
    LoadRichEditLibrary();
    CreateControl(kRichEditClass,
                  ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP);
    // The box's own background colour, set while it is being built.
    TRichEdit::ColorChanged();
}

void TRichEdit::LoadRtf(const void* data, std::size_t size) {
    StreamSource source{static_cast<const unsigned char*>(data), size, 0};
    EDITSTREAM stream{};
    stream.dwCookie = reinterpret_cast<DWORD_PTR>(&source);
    stream.pfnCallback = &ReadStream;
    SendMessageW(Handle(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&stream));
    if (stream.dwError != 0) {
        throw AppError(L"Cannot read the rich text.");
    }
    ApplyInnerBorder();
}

std::wstring TRichEdit::Text() const {
    GETTEXTLENGTHEX lengthQuery{GTL_NUMCHARS | GTL_PRECISE, 1200};
    const LRESULT length =
        SendMessageW(Handle(), EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&lengthQuery), 0);
    if (length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    GETTEXTEX query{};
    query.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    query.flags = GT_DEFAULT;
    query.codepage = 1200;
    const LRESULT copied = SendMessageW(Handle(), EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                        reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
    return text;
}

void TRichEdit::SetInnerBorder(int pixels) {
    innerBorder_ = pixels;
    ApplyInnerBorder();
}

void TRichEdit::ApplyInnerBorder() {
    RECT r{};
    GetClientRect(Handle(), &r);
    InflateRect(&r, -innerBorder_, -innerBorder_);
    SendMessageW(Handle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
}

void TRichEdit::SetBevel(bool bevel) {
    LONG exStyle = GetWindowLongW(Handle(), GWL_EXSTYLE);
    exStyle = bevel ? (exStyle | WS_EX_STATICEDGE) : (exStyle & ~WS_EX_STATICEDGE);
    SetWindowLongW(Handle(), GWL_EXSTYLE, exStyle);
    SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    ApplyInnerBorder();
}

void TRichEdit::ColorChanged() {
    SendMessageW(Handle(), EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(Color()));
    Invalidate();
}

void TRichEdit::Resized() {
    ApplyInnerBorder();
    TControl::Resized();
}

} // namespace ui
