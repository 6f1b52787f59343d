// Where the association pass writes: the viewer's classes, the extensions'
// keys and the user's Explorer choices. The setup program writes these and
// the uninstaller removes them.
#pragma once

#include <stddef.h>

// "Lumidor": the classes are "Lumidor.<base>".
extern const wchar_t kClassPrefix[];
// HKCU formats with the extension (no dot) for %s.
extern const wchar_t kExplorerExtensionKeyFormat[];
extern const wchar_t kUserChoiceKeyFormat[];
extern const wchar_t kExplorerProgIdValue[];  // "ProgID" of the XP family
extern const wchar_t kUserChoiceProgIdValue[];  // "Progid" of Vista and later
// HKLM "SOFTWARE\Classes\.<extension>\OpenWithProgids": the classes offered in
// "Open with", one value (of no data) per class.
extern const wchar_t kOpenWithProgidsSubkey[];

// HKCU: the packaged applications of Windows 10 that would otherwise be
// offered first for the associated files, and the value that stops that.
constexpr int kBuiltInAppClassCount = 5;
extern const wchar_t* const kBuiltInAppClasses[kBuiltInAppClassCount];
extern const wchar_t kNoOpenWithValue[];

// "Lumidor.<base>", "SOFTWARE\Classes\Lumidor.<base>" and
// "SOFTWARE\Classes\.<extension>"; false when it does not fit.
bool ProgIdFor(const wchar_t* progIdBase, wchar_t* out, size_t cchOut);
bool ClassKeyFor(const wchar_t* progIdBase, wchar_t* out, size_t cchOut);
bool ExtensionKeyFor(const wchar_t* extension, wchar_t* out, size_t cchOut);

// Whether a class name is one of the viewer's "Lumidor.*" classes.
bool IsViewerProgId(const wchar_t* progId);
