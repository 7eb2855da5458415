#include "win/rich_edit.h"

#include "core/file.h"
#include "core/io_error.h"
#include "core/text.h"
#include "win/handles.h"
#include "win/high_contrast.h"

#include <algorithm>
#include <richedit.h>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace reelbond {
namespace {

// Hands the control the next piece of the file; a failed read ends the stream with the
// error's code.
DWORD CALLBACK ReadFromFile(DWORD_PTR file, LPBYTE buffer, LONG count, LONG* delivered) {
    try {
        *delivered = static_cast<LONG>(
            reinterpret_cast<File*>(file)->ReadUpTo(buffer, static_cast<std::size_t>(count)));
        return 0;
    } catch (const IoError& error) {
        return error.code() ? static_cast<DWORD>(error.code()) : ERROR_READ_FAULT;
    }
}

DWORD CALLBACK AppendToString(DWORD_PTR text, LPBYTE buffer, LONG count, LONG* taken) {
    reinterpret_cast<std::string*>(text)->append(reinterpret_cast<const char*>(buffer),
                                                 static_cast<std::size_t>(count));
    *taken = count;
    return 0;
}

DWORD CALLBACK ReadFromString(DWORD_PTR rest, LPBYTE buffer, LONG count, LONG* delivered) {
    auto& text = *reinterpret_cast<std::string_view*>(rest);
    const std::size_t size = std::min(text.size(), static_cast<std::size_t>(count));
    text.copy(reinterpret_cast<char*>(buffer), size);
    text.remove_prefix(size);
    *delivered = static_cast<LONG>(size);
    return 0;
}

// Streams the control's content in (EM_STREAMIN) or out (EM_STREAMOUT) through callback;
// returns the stream's error, 0 when the whole content went through.
DWORD Streamed(HWND edit, UINT message, UINT format, void* cookie, EDITSTREAMCALLBACK callback) {
    EDITSTREAM stream{reinterpret_cast<DWORD_PTR>(cookie), 0, callback};
    SendMessageW(edit, message, format, reinterpret_cast<LPARAM>(&stream));
    return stream.dwError;
}

} // namespace

void TRichEdit::Register() {
    // Not a known DLL: by its bare name the system would look beside the program first.
    if (!LoadLibraryExW(L"riched20.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32))
        ThrowLastError();
}

DWORD TRichEdit::Style() const {
    // No horizontal scrolling, so lines wrap. ES_SAVESEL keeps the dialog manager from
    // selecting the whole text when Tab enters the view.
    return ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_SAVESEL | WS_VSCROLL | WS_TABSTOP;
}

void TRichEdit::OnCreated() {
    SendMessageW(hwnd(), EM_AUTOURLDETECT, FALSE, 0);
    OnDpiChanged();
}

void TRichEdit::OnDpiChanged() {
    const UniqueWindowDc dc = ClientDc(hwnd());
    const int measured = GetDeviceCaps(dc.get(), LOGPIXELSY);
    // A zoom of 1 (not "none", 0/0) also lays the text out again under Wine.
    if (measured > 0)
        SendMessageW(hwnd(), EM_SETZOOM, WindowDpi(hwnd()), measured);
}

void TRichEdit::SetDefaultFont(const FontSpec& font) {
    CHARFORMAT2W format{};
    format.cbSize = sizeof format;
    format.dwMask = CFM_FACE | CFM_SIZE | CFM_CHARSET | CFM_COLOR | CFM_BOLD;
    format.dwEffects = CFE_AUTOCOLOR | (font.bold ? CFE_BOLD : 0);
    // Twips of the character height at 96 dots per inch.
    format.yHeight = MulDiv(font.pixels, 1440, 96);
    format.bCharSet = font.charset;
    Widened(font.face).copy(format.szFaceName, LF_FACESIZE - 1);
    SendMessageW(hwnd(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

bool TRichEdit::PlainText() const {
    return SendMessageW(hwnd(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT;
}

void TRichEdit::SetPlainText(bool plainText) {
    SendMessageW(hwnd(), EM_SETTEXTMODE, plainText ? TM_PLAINTEXT : TM_RICHTEXT, 0);
}

void TRichEdit::LoadFromFile(const std::string& path) {
    File file;
    try {
        // Others may go on reading the file meanwhile, but not change it.
        file = File::OpenForReading(path);
    } catch (const IoError&) {
        throw std::runtime_error("Cannot open file " + path);
    }
    LoadFromStream(file);
}

void TRichEdit::LoadFromStream(File& file) {
    try {
        const std::int64_t start = file.Position();
        const UINT format = TextFormat();
        DWORD error = Streamed(hwnd(), EM_STREAMIN, format, &file, ReadFromFile);
        if (error && format == SF_RTF) {
            file.Seek(start);
            error = Streamed(hwnd(), EM_STREAMIN, SF_TEXT, &file, ReadFromFile);
        }
        if (!error) {
            colouredContent_.reset();
            FollowContrast();
            return;
        }
    } catch (const IoError&) {
        // A file that cannot be read again from its start fails as one that cannot be read.
    }
    throw std::runtime_error("Failed to Load Stream");
}

UINT TRichEdit::TextFormat() const {
    return PlainText() ? SF_TEXT : SF_RTF;
}

void TRichEdit::FollowContrast() {
    if (HighContrastOn() && !colouredContent_) {
        std::string content;
        Streamed(hwnd(), EM_STREAMOUT, TextFormat(), &content, AppendToString);
        colouredContent_ = std::move(content);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.dwEffects = CFE_AUTOCOLOR;
        SendMessageW(hwnd(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    } else if (!HighContrastOn() && colouredContent_) {
        std::string_view rest = *colouredContent_;
        Streamed(hwnd(), EM_STREAMIN, TextFormat(), &rest, ReadFromString);
        colouredContent_.reset();
    }
}

LRESULT TRichEdit::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_SYSCOLORCHANGE:
        FollowContrast();
        break;
    case WM_KEYDOWN:
        // Under a dialog manager the control would close its parent on Escape; a view
        // leaves closing to its window.
        if (wParam == VK_ESCAPE)
            return 0;
        break;
    }
    return Default(message, wParam, lParam);
}

} // namespace reelbond
