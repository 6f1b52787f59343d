// The vendor's web pages that the wizard opens.
#pragma once

constexpr wchar_t kLicenceUrl[] = L"https://www.orvendal.example/lumidor/eula.htm";
constexpr wchar_t kFaqUrl[] = L"https://www.orvendal.example/lumidor/faq.htm";
