// The release-information file of an installation: an XML document
// ROOT/Version (format, must be 1) and ROOT/Level (installed release level),
// read and written through the MSXML DOM.
#include "install/DatabaseUpdate.h"

#include <cwchar>
#include <vector>

#include <msxml2.h>
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include "files/FileReplace.h"
#include "install/MediumLayout.h"
#include "base/AppError.h"
#include "base/SysError.h"
#include "base/Handles.h"
#include "base/FileQueries.h"
#include "base/portable/BlankText.h"

namespace install {

using base::AppError;
using base::ComApartment;
using base::ComPtr;
using base::DirectoryExists;
using base::HresultText;
using base::PathExists;
using base::SysErrorMessage;
using base::WithoutTrailingBlanks;
using files::CheckReplaceable;
using files::WriteWholeFile;

namespace {

// DOMDocument (version independent) and its IXMLDOMDocument2 interface.
constexpr CLSID kDomDocumentClass = {
    0xF6D90F11, 0x9C73, 0x11D3, {0xB3, 0x2E, 0x00, 0xC0, 0x4F, 0x99, 0x0B, 0xB4}};
constexpr IID kDomDocument2Interface = {
    0x2933BF95, 0x7B36, 0x11D2, {0xB2, 0x0E, 0x00, 0xC0, 0x4F, 0x98, 0x3E, 0x60}};

constexpr wchar_t kErrorPrefix[] = L"Cannot get release information, error: ";
constexpr int kKnownVersion = 1;
constexpr wchar_t kDocumentTypeRefused[] =
    L"the document cannot be loaded: a document type definition is not allowed";

void Check(HRESULT result) {
    if (FAILED(result)) {
        throw AppError(HresultText(result));
    }
}

BSTR AllocBstr(const std::wstring& text) {
    BSTR value = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (value == nullptr) {
        throw AppError(HresultText(E_OUTOFMEMORY));
    }
    return value;
}

// An owned BSTR.
class Bstr {
  public:
    Bstr() = default;
    explicit Bstr(const std::wstring& text) : value_(AllocBstr(text)) {}
    ~Bstr() { SysFreeString(value_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR get() const { return value_; }
    std::wstring text() const { return std::wstring(value_, SysStringLen(value_)); }
    BSTR* put() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }

  private:
    BSTR value_ = nullptr;
};

// An owned VARIANT, cleared on scope exit.
class Variant {
  public:
    Variant() { VariantInit(&value_); }
    explicit Variant(const std::wstring& text) : Variant() {
        value_.bstrVal = AllocBstr(text);
        value_.vt = VT_BSTR;
    }
    ~Variant() { VariantClear(&value_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;

    VARIANT& get() { return value_; }
    VARIANT* put() {
        VariantClear(&value_);
        return &value_;
    }

  private:
    VARIANT value_;
};

std::wstring LoadErrorText(IXMLDOMDocument2* document, HRESULT result) {
    ComPtr<IXMLDOMParseError> parseError;
    Bstr reason;
    if (SUCCEEDED(document->get_parseError(parseError.put())) && parseError &&
        SUCCEEDED(parseError->get_reason(reason.put())) && reason.get() != nullptr) {
        const std::wstring text(WithoutTrailingBlanks(reason.text()));
        if (!text.empty()) {
            return L"the document cannot be loaded: " + text;
        }
    }
    return L"the document cannot be loaded: " + HresultText(FAILED(result) ? result : E_FAIL);
}

// The file is the installer's own: a document type definition or an
// external entity has no place in it and is never fetched or expanded.
void ForbidDocumentTypes(IXMLDOMDocument2* document) {
    Variant prohibit;
    prohibit.put()->vt = VT_BOOL;
    prohibit.get().boolVal = VARIANT_TRUE;
    Check(document->setProperty(Bstr(L"ProhibitDTD").get(), prohibit.get()));
    Check(document->put_resolveExternals(VARIANT_FALSE));
}

ComPtr<IXMLDOMDocument2> LoadDocument(const std::wstring& path) {
    ComPtr<IXMLDOMDocument2> document;
    Check(CoCreateInstance(kDomDocumentClass, nullptr, CLSCTX_INPROC_SERVER, kDomDocument2Interface,
                           document.put_void()));
    Check(document->put_async(VARIANT_FALSE));
    ForbidDocumentTypes(document.get());
    VARIANT_BOOL loaded = VARIANT_FALSE;
    const HRESULT result = document->load(Variant(path).get(), &loaded);
    if (FAILED(result) || loaded != VARIANT_TRUE) {
        throw AppError(LoadErrorText(document.get(), result));
    }
    // A parser that ignores the prohibition still shows the type here.
    ComPtr<IXMLDOMDocumentType> type;
    Check(document->get_doctype(type.put()));
    if (type) {
        throw AppError(kDocumentTypeRefused);
    }
    return document;
}

// The node `query` selects from `from`, or null when there is none.
ComPtr<IXMLDOMNode> SelectNode(IXMLDOMNode* from, const std::wstring& query) {
    ComPtr<IXMLDOMNode> node;
    Check(from->selectSingleNode(Bstr(query).get(), node.put()));
    return node;
}

ComPtr<IXMLDOMNode> SelectRequiredNode(IXMLDOMNode* from, const std::wstring& query,
                                       const std::wstring& elementName) {
    ComPtr<IXMLDOMNode> node = SelectNode(from, query);
    if (!node) {
        throw AppError(L"element " + elementName + L" not found");
    }
    return node;
}

ComPtr<IXMLDOMNode> SelectRoot(IXMLDOMDocument2* document) {
    ComPtr<IXMLDOMElement> element;
    Check(document->get_documentElement(element.put()));
    if (!element) {
        throw AppError(L"element ROOT not found");
    }
    return SelectRequiredNode(element.get(), L"/ROOT", L"ROOT");
}

std::wstring VariantTypeName(VARTYPE type) {
    switch (type) {
    case VT_BSTR:
        return L"OleStr";
    case VT_EMPTY:
        return L"Empty";
    case VT_NULL:
        return L"Null";
    default:
        return L"Unknown";
    }
}

// The typed value of ROOT/Version as an integer; 0 when there is no Version.
int ReadVersion(IXMLDOMNode* root) {
    ComPtr<IXMLDOMNode> versionNode = SelectNode(root, L"Version");
    if (!versionNode) {
        return 0;
    }
    Variant value;
    Check(versionNode->get_nodeTypedValue(value.put()));
    Variant number;
    if (FAILED(VariantChangeTypeEx(number.put(), &value.get(), LOCALE_USER_DEFAULT, 0, VT_I4))) {
        throw AppError(L"Could not convert variant of type (" + VariantTypeName(value.get().vt) +
                       L") into type (Integer)");
    }
    return number.get().lVal;
}

// The document as the DOM saves it to a file, taken from an in-memory
// stream.
std::vector<BYTE> SavedBytes(IXMLDOMDocument2* document) {
    ComPtr<IStream> stream;
    Check(CreateStreamOnHGlobal(nullptr, TRUE, stream.put()));
    VARIANT destination;
    VariantInit(&destination);
    destination.vt = VT_UNKNOWN;
    destination.punkVal = stream.get(); // borrowed: not released by a clear
    Check(document->save(destination));
    STATSTG status{};
    Check(stream->Stat(&status, STATFLAG_NONAME));
    std::vector<BYTE> bytes(static_cast<std::size_t>(status.cbSize.QuadPart));
    Check(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_SET, nullptr));
    ULONG read = 0;
    Check(stream->Read(bytes.data(), static_cast<ULONG>(bytes.size()), &read));
    bytes.resize(read);
    return bytes;
}

// Saves the document over `path` through the installer's temporary-file
// writer: written beside it, flushed, then moved over it. A file Windows
// would refuse to overwrite (read-only, hidden, in use) is refused here
// alike, before anything is written.
void SaveReplacing(IXMLDOMDocument2* document, const std::wstring& path) {
    if (const base::SysResult replaceable = CheckReplaceable(path); !replaceable) {
        throw AppError(SysErrorMessage(replaceable.code()));
    }
    WriteWholeFile(path, SavedBytes(document));
}

struct ReleaseDocument {
    ComPtr<IXMLDOMDocument2> document;
    ComPtr<IXMLDOMNode> level; // ROOT/Level
};

// The document with its Version checked and its Level found.
ReleaseDocument LoadReleaseDocument(const std::wstring& path) {
    ReleaseDocument release;
    release.document = LoadDocument(path);
    ComPtr<IXMLDOMNode> root = SelectRoot(release.document.get());
    if (ReadVersion(root.get()) != kKnownVersion) {
        throw AppError(L"unknown release file version");
    }
    release.level = SelectRequiredNode(root.get(), L"Level", L"Level");
    return release;
}

void SetLevel(const std::wstring& path, const std::wstring& level) {
    const ReleaseDocument release = LoadReleaseDocument(path);
    Check(release.level->put_nodeTypedValue(Variant(level).get()));
    SaveReplacing(release.document.get(), path);
}

// Runs `action` on directory + "ReleaseInfo" with COM initialised, raising
// the release file's errors.
template <typename Action> void WithReleaseInfo(const std::wstring& directory, Action action) {
    ComApartment com;
    const std::wstring path = directory + std::wstring(MediumLayout::ReleaseInfoFile);
    if (!PathExists(path) || DirectoryExists(path)) {
        throw AppError(L"Release info file does not exist");
    }
    try {
        action(path);
    } catch (const AppError& error) {
        throw AppError(kErrorPrefix + error.text());
    }
}

} // namespace

void WriteReleaseLevel(const std::wstring& target, const std::wstring& level) {
    WithReleaseInfo(target, [&level](const std::wstring& path) { SetLevel(path, level); });
}

void CheckReleaseInfo(const std::wstring& directory) {
    WithReleaseInfo(directory, [](const std::wstring& path) { LoadReleaseDocument(path); });
}

} // namespace install
