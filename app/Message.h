// A message of the string table with its "%s" filled in, as long as it needs
// to be.
#pragma once

#include <windows.h>

#include "platform/TextList.h"

class CMessage {
public:
    explicit CMessage(UINT messageId, const wchar_t* argument = nullptr);
    // The argument is the list's texts, one on each line.
    CMessage(UINT messageId, const CTextList& lines);
    ~CMessage();
    CMessage(const CMessage&) = delete;
    CMessage& operator=(const CMessage&) = delete;

    // The message; the bare format where it could not be filled in.
    const wchar_t* Text() const { return text_ ? text_ : format_; }

private:
    void Fill(const wchar_t* argument);

    wchar_t format_[1024];
    wchar_t* text_ = nullptr;
};
