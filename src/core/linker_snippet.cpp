#include "core/linker_snippet.h"

#include <array>

namespace tarvex {
namespace {

struct SymbolStub {
    const wchar_t* symbol; // as the x64 linker sees it
    const wchar_t* stub;
};

// The VCRT symbols go to the acrt stubs: the runtime has no vcrt stubs.
constexpr std::array<SymbolStub, 11> kSymbolStubs{{
    {L"__acrt_initialize", L"___scrt_stub_for_acrt_initialize"},
    {L"__acrt_uninitialize", L"___scrt_stub_for_acrt_uninitialize"},
    {L"__acrt_uninitialize_critical", L"___scrt_stub_for_acrt_uninitialize_critical"},
    {L"__acrt_thread_attach", L"___scrt_stub_for_acrt_thread_attach"},
    {L"__acrt_thread_detach", L"___scrt_stub_for_acrt_thread_detach"},
    {L"_is_c_termination_complete", L"___scrt_stub_for_is_c_termination_complete"},
    {L"__vcrt_initialize", L"___scrt_stub_for_acrt_initialize"},
    {L"__vcrt_uninitialize", L"___scrt_stub_for_acrt_uninitialize"},
    {L"__vcrt_uninitialize_critical", L"___scrt_stub_for_acrt_uninitialize_critical"},
    {L"__vcrt_thread_attach", L"___scrt_stub_for_acrt_thread_attach"},
    {L"__vcrt_thread_detach", L"___scrt_stub_for_acrt_thread_detach"},
}};

// x86 symbols carry one more leading underscore than x64 ones; the stubs are
// named the same for both.
void appendDirectives(std::wstring& text, const wchar_t* symbolPrefix) {
    for (const SymbolStub& row : kSymbolStubs) {
        text += L" Import \"/alternatename:";
        text += symbolPrefix;
        text += row.symbol;
        text += L'=';
        text += row.stub;
        text += L"\" : EndImport\n";
    }
}

std::wstring buildSnippet() {
    std::wstring text = L"CompilerIf #PB_Compiler_Processor = #PB_Processor_x64\n";
    appendDirectives(text, L"");
    text += L"CompilerElse\n";
    appendDirectives(text, L"_");
    text += L"CompilerEndIf\n";
    return text;
}

} // namespace

const std::wstring& linkerDirectiveSnippet() {
    static const std::wstring snippet = buildSnippet();
    return snippet;
}

void copyLinkerDirectives(ToolServices& services) {
    services.clipboard.setClipboardText(linkerDirectiveSnippet());
    services.sounds.play(Sound::Default);
}

} // namespace tarvex
