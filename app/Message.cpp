// A message of the string table with its "%s" filled in.
#include "app/Message.h"

#include <wchar.h>

#include "platform/Scoped.h"
#include "platform/Text.h"

CMessage::CMessage(UINT messageId, const wchar_t* argument) {
    if (!LoadStringW(GetModuleHandleW(nullptr), messageId, format_, ARRAYSIZE(format_))) format_[0] = L'\0';
    if (argument) Fill(argument);
}

CMessage::CMessage(UINT messageId, const CTextList& lines) : CMessage(messageId) {
    size_t chars = 1;
    for (const wchar_t* p = lines.First(); p; p = lines.Next(p)) chars += wcslen(p) + 1;
    CHeapBlock joined(chars * sizeof(wchar_t), true);
    if (!joined) return;
    wchar_t* out = joined.as<wchar_t>();
    for (const wchar_t* p = lines.First(); p; p = lines.Next(p)) {
        if (out != joined.as<wchar_t>()) *out++ = L'\n';
        size_t length = wcslen(p);
        wmemcpy(out, p, length);
        out += length;
    }
    Fill(joined.as<wchar_t>());
}

CMessage::~CMessage() {
    if (text_) HeapFree(GetProcessHeap(), 0, text_);
}

void CMessage::Fill(const wchar_t* argument) {
    size_t chars = wcslen(format_) + wcslen(argument) + 1;
    text_ = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, chars * sizeof(wchar_t)));
    if (text_ && !FormatText(text_, chars, format_, argument)) {
        HeapFree(GetProcessHeap(), 0, text_);
        text_ = nullptr;
    }
}
