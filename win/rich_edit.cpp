#include "win/rich_edit.h"

#include "core/file.h"
#include "core/io_error.h"
#include "core/text.h"
#include "win/handles.h"
#include "win/high_contrast.h"

#include <algorithm>
#include <exception>
#include <functional>
#include <richedit.h>
#include <stdexcept>
#include <string_view>
#include <utility>

namespace reelbond {
namespace {

// One piece of a stream: fills or takes the buffer's count bytes and says how many it moved.
using StreamStep = std::function<LONG(LPBYTE buffer, LONG count)>;

struct Stream {
    const StreamStep& step;
    std::exception_ptr failure;
};

// The control's C code lies between this callback and the caller: a failure is kept for the
// caller, and the stream stops.
DWORD CALLBACK TakeStreamStep(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* moved) noexcept {
    auto& stream = *reinterpret_cast<Stream*>(cookie);
    try {
        *moved = stream.step(buffer, count);
        return 0;
    } catch (...) {
        stream.failure = std::current_exception();
        *moved = 0;
        return ERROR_READ_FAULT;
    }
}

// Streams the control's content in (EM_STREAMIN) or out (EM_STREAMOUT) through step; raises
// the step's failure, else returns the stream's error, 0 when the whole content went through.
DWORD Streamed(HWND edit, UINT message, UINT format, const StreamStep& step) {
    Stream stream{step, nullptr};
    EDITSTREAM edited{reinterpret_cast<DWORD_PTR>(&stream), 0, TakeStreamStep};
    SendMessageW(edit, message, format, reinterpret_cast<LPARAM>(&edited));
    if (stream.failure)
        std::rethrow_exception(stream.failure);
    return edited.dwError;
}

DWORD StreamedIn(HWND edit, UINT format, File& file) {
    return Streamed(edit, EM_STREAMIN, format, [&file](LPBYTE buffer, LONG count) {
        return static_cast<LONG>(file.ReadUpTo(buffer, static_cast<std::size_t>(count)));
    });
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
    SendMessageW(Hwnd(), EM_AUTOURLDETECT, FALSE, 0);
    OnDpiChanged();
}

void TRichEdit::OnDpiChanged() {
    const UniqueWindowDc dc = ClientDc(Hwnd());
    const int measured = GetDeviceCaps(dc.get(), LOGPIXELSY);
    // A zoom of 1 (not "none", 0/0) also lays the text out again under Wine.
    if (measured > 0)
        SendMessageW(Hwnd(), EM_SETZOOM, WindowDpi(Hwnd()), measured);
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
    SendMessageW(Hwnd(), EM_SETCHARFORMAT, SCF_DEFAULT, reinterpret_cast<LPARAM>(&format));
}

bool TRichEdit::PlainText() const {
    return SendMessageW(Hwnd(), EM_GETTEXTMODE, 0, 0) & TM_PLAINTEXT;
}

void TRichEdit::SetPlainText(bool plainText) {
    SendMessageW(Hwnd(), EM_SETTEXTMODE, plainText ? TM_PLAINTEXT : TM_RICHTEXT, 0);
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
        DWORD error = StreamedIn(Hwnd(), format, file);
        if (error && format == SF_RTF) {
            file.Seek(start);
            error = StreamedIn(Hwnd(), SF_TEXT, file);
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
        Streamed(Hwnd(), EM_STREAMOUT, TextFormat(), [&content](LPBYTE buffer, LONG count) {
            content.append(reinterpret_cast<const char*>(buffer), static_cast<std::size_t>(count));
            return count;
        });
        colouredContent_ = std::move(content);
        CHARFORMAT2W format{};
        format.cbSize = sizeof format;
        format.dwMask = CFM_COLOR;
        format.dwEffects = CFE_AUTOCOLOR;
        SendMessageW(Hwnd(), EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&format));
    } else if (!HighContrastOn() && colouredContent_) {
        std::string_view rest = *colouredContent_;
        Streamed(Hwnd(), EM_STREAMIN, TextFormat(), [&rest](LPBYTE buffer, LONG count) {
            const std::size_t size = std::min(rest.size(), static_cast<std::size_t>(count));
            rest.copy(reinterpret_cast<char*>(buffer), size);
            rest.remove_prefix(size);
            return static_cast<LONG>(size);
        });
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
