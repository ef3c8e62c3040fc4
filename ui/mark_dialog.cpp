#include "ui/mark_dialog.h"

#include <windowsx.h>

#include "catalogue/name_match.h"
#include "core/handles_win32.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

constexpr double kClientWidth = 5040, kClientHeight = 2130;
struct Placed {
    int id;
    TwipsRect rect;
};
constexpr Placed kControls[] = {
    {IDC_MARKLABEL, {120, 120, 4800, 255}}, {IDC_MARKTEXT, {120, 405, 4800, 315}},
    {IDC_MARKHINT, {120, 810, 4800, 255}},  {IDC_MARKKEEP, {120, 1170, 4800, 285}},
    {IDOK, {2370, 1635, 1215, 375}},        {IDCANCEL, {3705, 1635, 1215, 375}},
};

class MarkDialog {
public:
    explicit MarkDialog(const MarkRequest& last) : m_request(last) {}

    static INT_PTR CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            reinterpret_cast<MarkDialog*>(lParam)->m_hwnd = hwnd;
            ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
        }
        auto* self = reinterpret_cast<MarkDialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
        if (self == nullptr) return FALSE;
        return GuardedProc(
            L"handling the mark dialog",
            [&] { return self->Handle(message, wParam); }, [] { return INT_PTR{FALSE}; });
    }

    MarkRequest m_request;
    bool m_marked = false;

private:
    INT_PTR Handle(UINT message, WPARAM wParam)
    {
        switch (message) {
            case WM_INITDIALOG:
                Layout();
                CentreOverOwner();
                ::SetDlgItemTextW(m_hwnd, IDC_MARKTEXT, m_request.text.c_str());
                Button_SetCheck(::GetDlgItem(m_hwnd, IDC_MARKKEEP),
                                m_request.keep ? BST_CHECKED : BST_UNCHECKED);
                EnableMark();
                ::SetFocus(::GetDlgItem(m_hwnd, IDC_MARKTEXT));
                Edit_SetSel(::GetDlgItem(m_hwnd, IDC_MARKTEXT), 0, -1);
                return FALSE;  // the focus is set
            case WM_COMMAND:
                OnCommand(LOWORD(wParam), HIWORD(wParam));
                return TRUE;
            case WM_DPICHANGED:
                Layout();
                return TRUE;
            default:
                return FALSE;
        }
    }

    std::wstring Text() const
    {
        HWND edit = ::GetDlgItem(m_hwnd, IDC_MARKTEXT);
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(
            static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    void EnableMark() { ::EnableWindow(::GetDlgItem(m_hwnd, IDOK), !NameMatcher(Text()).Empty()); }

    void OnCommand(int id, int code)
    {
        switch (id) {
            case IDC_MARKTEXT:
                if (code == EN_CHANGE) EnableMark();
                break;
            case IDOK: {
                // Enter reaches here even while "Mark" is grey.
                const std::wstring text = Text();
                if (NameMatcher(text).Empty()) break;
                m_request.text = text;
                m_request.keep = Button_GetCheck(::GetDlgItem(m_hwnd, IDC_MARKKEEP)) == BST_CHECKED;
                m_marked = true;
                ::EndDialog(m_hwnd, IDOK);
                break;
            }
            case IDCANCEL:
                ::EndDialog(m_hwnd, IDCANCEL);
                break;
            default:
                break;
        }
    }

    // The program's font at the dialog's DPI; every control gets the new font before the old goes.
    void Layout()
    {
        const UINT dpi = DpiForWindow(m_hwnd);
        const auto px = [dpi](double twips) { return TwipsToPixels(twips, dpi); };
        UniqueGdiObject font(CreateMessageFont(dpi));
        SizeClientTo(m_hwnd, px(kClientWidth), px(kClientHeight), false, dpi);
        for (const Placed& control : kControls) {
            HWND child = ::GetDlgItem(m_hwnd, control.id);
            ::SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font.Get()), TRUE);
            ::MoveWindow(child, px(control.rect.left), px(control.rect.top), px(control.rect.width),
                         px(control.rect.height), TRUE);
        }
        m_font = std::move(font);
    }

    void CentreOverOwner()
    {
        if (HWND owner = ::GetWindow(m_hwnd, GW_OWNER); owner != nullptr) CentreOver(m_hwnd, owner);
    }

    HWND m_hwnd = nullptr;
    UniqueGdiObject m_font;
};

}  // namespace

std::optional<MarkRequest> AskWhatToMark(HWND owner, const MarkRequest& last)
{
    MarkDialog dialog(last);
    ::DialogBoxParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_MARKDIALOG), owner, &MarkDialog::Proc,
                      reinterpret_cast<LPARAM>(&dialog));
    if (!dialog.m_marked) return std::nullopt;
    return dialog.m_request;
}

}  // namespace korvalis
