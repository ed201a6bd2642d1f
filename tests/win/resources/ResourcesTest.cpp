// Install.exe's embedded resources: the string table, the version
// information, the manifest, the seven PNG images and the INFO document.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "fixtures/ShippedImages.h"

#include <cstdint>
#include <cstdlib>
#include <span>
#include <string>
#include <windows.h>
#include <richedit.h>

#include "app/portable/PngDecoder.h"
#include "shared/VS_Common_Proc.h"
#include "base/Handles.h"

using app::DecodedPng;
using app::DecodePng;
using base::UniqueModule;
using base::UniqueResource;
using base::WindowTraits;
using shared::GetResString;
using ui::AlphaOf;
using ui::BlueOf;
using ui::GreenOf;
using ui::Image32;
using ui::RedOf;

namespace {

std::wstring InstallExePath() {
    const char* unixPath = std::getenv("VESTAR_INSTALL_EXE");
    if (unixPath == nullptr) {
        return {};
    }
    std::wstring path = L"Z:";
    for (const char* p = unixPath; *p != '\0'; ++p) {
        path.push_back(*p == '/' ? L'\\' : static_cast<wchar_t>(static_cast<unsigned char>(*p)));
    }
    return path;
}

std::span<const std::uint8_t> RawResource(HMODULE module, const wchar_t* name,
                                          const wchar_t* type) {
    HRSRC info = FindResourceW(module, name, type);
    if (info == nullptr) {
        return {};
    }
    HGLOBAL loaded = LoadResource(module, info);
    const auto* data = static_cast<const std::uint8_t*>(LockResource(loaded));
    return {data, data == nullptr ? 0 : SizeofResource(module, info)};
}

std::uint32_t BigEndian32(std::span<const std::uint8_t> bytes, std::size_t at) {
    return (std::uint32_t{bytes[at]} << 24) | (std::uint32_t{bytes[at + 1]} << 16) |
           (std::uint32_t{bytes[at + 2]} << 8) | std::uint32_t{bytes[at + 3]};
}

struct PngHeader {
    std::uint32_t width = 0;
    std::uint32_t height = 0;
    int bitDepth = 0;
    int colourType = 0;
};

// The image header, which a PNG file must carry as its first chunk.
PngHeader ReadIhdr(std::span<const std::uint8_t> png) {
    static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (png.size() < 33 || !std::equal(signature, signature + 8, png.begin()) ||
        BigEndian32(png, 8) != 13 || std::string(png.begin() + 12, png.begin() + 16) != "IHDR") {
        ADD_FAILURE() << "no PNG signature and header";
        return {};
    }
    return {BigEndian32(png, 16), BigEndian32(png, 20), png[24], png[25]};
}

class InstallResources : public testing::Test {
  protected:
    void SetUp() override {
        path_ = InstallExePath();
        ASSERT_FALSE(path_.empty()) << "VESTAR_INSTALL_EXE is not set";
        module_.reset(LoadLibraryExW(path_.c_str(), nullptr,
                                     LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
        ASSERT_TRUE(module_) << "cannot load Install.exe: " << GetLastError();
    }
    HMODULE module() const { return module_.get(); }

    std::wstring path_;
    UniqueModule module_;
};

TEST_F(InstallResources, StringTableNamesTheProduct) {
    EXPECT_EQ(GetResString(module(), 0), L"Holter");
    EXPECT_EQ(GetResString(module(), 1), L"Вестар");
    EXPECT_EQ(GetResString(module(), 2), L"Комплекс суточного мониторирования электрокардиограмм");
    EXPECT_EQ(GetResString(module(), 3), L"21");
    EXPECT_EQ(GetResString(module(), 4), L"Portal.exe");
    for (UINT id = 5; id <= 21; ++id) {
        EXPECT_FALSE(GetResString(module(), id).empty()) << id;
    }
    // Entry 3 gives the id of the table's last file name.
    EXPECT_EQ(GetResString(module(), 22), L"");
}

TEST_F(InstallResources, VersionInformationRepeatsTheStringTable) {
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path_.c_str(), &ignored);
    ASSERT_GT(size, 0u);
    std::vector<std::uint8_t> block(size);
    ASSERT_TRUE(GetFileVersionInfoW(path_.c_str(), 0, size, block.data()));
    const auto value = [&](const wchar_t* name) {
        std::wstring query = std::wstring(L"\\StringFileInfo\\041904B0\\") + name;
        wchar_t* text = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text),
                            &length) ||
            text == nullptr) {
            return std::wstring();
        }
        return std::wstring(text);
    };
    EXPECT_EQ(value(L"ProductName"), GetResString(module(), 1));
    EXPECT_EQ(value(L"FileDescription"), GetResString(module(), 2));
    EXPECT_EQ(value(L"OriginalFilename"), L"Install.exe");
}

TEST_F(InstallResources, ManifestAsksNoElevationAndDeclaresPerMonitorDpi) {
    const auto manifest = RawResource(module(), MAKEINTRESOURCEW(1), RT_MANIFEST);
    ASSERT_FALSE(manifest.empty());
    const std::string text(manifest.begin(), manifest.end());
    EXPECT_THAT(text, testing::HasSubstr("level=\"asInvoker\""));
    EXPECT_THAT(text, testing::HasSubstr("PerMonitorV2, PerMonitor"));
    EXPECT_THAT(text, testing::HasSubstr("true/pm"));
    EXPECT_THAT(text, testing::HasSubstr("name=\"Microsoft.Windows.Common-Controls\" "
                                         "version=\"6.0.0.0\""));
}

TEST_F(InstallResources, SevenImagesHaveTheirSizesAndPixelFormats) {
    for (const fixtures::ShippedImage& image : fixtures::kShippedImages) {
        SCOPED_TRACE(image.file);
        const auto png = RawResource(module(), image.resource, RT_RCDATA);
        ASSERT_FALSE(png.empty());
        const PngHeader header = ReadIhdr(png);
        EXPECT_EQ(header.width, static_cast<std::uint32_t>(image.width));
        EXPECT_EQ(header.height, static_cast<std::uint32_t>(image.height));
        EXPECT_EQ(header.bitDepth, 8);
        EXPECT_EQ(header.colourType, image.hasAlpha ? 6 : 2);
        // The program's own decoder takes every image.
        const DecodedPng decoded = DecodePng(png, image.resource);
        EXPECT_EQ(decoded.image.width, image.width);
        EXPECT_EQ(decoded.image.height, image.height);
    }
}

bool FullyOpaque(const Image32& image) {
    for (const std::uint32_t pixel : image.pixels) {
        if (AlphaOf(pixel) != 255) {
            return false;
        }
    }
    return !image.empty();
}

TEST_F(InstallResources, TitleAndLogoAreOpaqueAndTheTitleStartsWithItsGround) {
    const DecodedPng title = DecodePng(RawResource(module(), L"TITLE", RT_RCDATA), L"TITLE");
    ASSERT_FALSE(title.image.empty());
    const std::uint32_t topLeft = title.image.at(0, 0);
    EXPECT_EQ(RedOf(topLeft), 236);
    EXPECT_EQ(GreenOf(topLeft), 236);
    EXPECT_EQ(BlueOf(topLeft), 235);
    EXPECT_TRUE(FullyOpaque(title.image));
    const DecodedPng logo = DecodePng(RawResource(module(), L"LOGO", RT_RCDATA), L"LOGO");
    EXPECT_TRUE(FullyOpaque(logo.image));
}

TEST_F(InstallResources, InfoIsCyrillicRichText) {
    const auto info = RawResource(module(), L"INFO", RT_RCDATA);
    ASSERT_GT(info.size(), 6u);
    const std::string rtf(info.begin(), info.end());
    EXPECT_EQ(rtf.substr(0, 6), "{\\rtf1");
    EXPECT_THAT(rtf, testing::HasSubstr("\\ansicpg1251"));
    EXPECT_THAT(rtf, testing::HasSubstr("\\fcharset204"));
}

// What a rich edit control reads out of the INFO document as plain text.
struct StreamState {
    std::span<const std::uint8_t> source;
    std::size_t position = 0;
    std::wstring text;
};

DWORD CALLBACK StreamIn(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* state = reinterpret_cast<StreamState*>(cookie);
    const std::size_t left = state->source.size() - state->position;
    const std::size_t count = std::min<std::size_t>(left, static_cast<std::size_t>(size));
    std::copy_n(state->source.begin() + static_cast<std::ptrdiff_t>(state->position), count,
                buffer);
    state->position += count;
    *done = static_cast<LONG>(count);
    return 0;
}

DWORD CALLBACK StreamOut(DWORD_PTR cookie, LPBYTE buffer, LONG size, LONG* done) {
    auto* state = reinterpret_cast<StreamState*>(cookie);
    state->text.append(reinterpret_cast<const wchar_t*>(buffer),
                       static_cast<std::size_t>(size) / sizeof(wchar_t));
    *done = size;
    return 0;
}

struct WindowTraits {
    static HWND invalid() { return nullptr; }
    static bool valid(HWND w) { return w != nullptr; }
    static void close(HWND w) { DestroyWindow(w); }
};

TEST_F(InstallResources, InfoReadsAsRussianTextInARichEdit) {
    const UniqueModule richEditLibrary(LoadLibraryW(L"msftedit.dll"));
    ASSERT_TRUE(richEditLibrary);
    const UniqueResource<HWND, WindowTraits> edit(
        CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 282,
                        441, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(edit);
    StreamState state;
    state.source = RawResource(module(), L"INFO", RT_RCDATA);
    EDITSTREAM in{reinterpret_cast<DWORD_PTR>(&state), 0, StreamIn};
    SendMessageW(edit.get(), EM_STREAMIN, SF_RTF, reinterpret_cast<LPARAM>(&in));
    EXPECT_EQ(in.dwError, 0u);
    EDITSTREAM out{reinterpret_cast<DWORD_PTR>(&state), 0, StreamOut};
    SendMessageW(edit.get(), EM_STREAMOUT, SF_TEXT | SF_UNICODE, reinterpret_cast<LPARAM>(&out));

    EXPECT_THAT(state.text,
                testing::StartsWith(L"Комплекс суточного мониторирования ЭКГ «Вестар»"));
    for (const wchar_t* heading :
         {L"Что делает программа установки", L"Системные требования", L"Техническая поддержка"}) {
        EXPECT_THAT(state.text, testing::HasSubstr(heading));
    }
    EXPECT_THAT(state.text, testing::HasSubstr(L"C:\\Holter"));
}

} // namespace
