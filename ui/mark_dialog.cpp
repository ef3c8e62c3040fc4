#include "ui/mark_dialog.h"

#include <windowsx.h>

#include "catalogue/marking.h"
#include "core/handles_win32.h"
#include "core/text.h"
#include "ui/dpi.h"
#include "ui/failure_report.h"
#include "ui/resource.h"

namespace korvalis {

namespace {

constexpr double kClientWidth = 5040, kClientHeight = 3195;
struct Placed {
    int id;
    TwipsRect rect;
};
// A drop-down list's height is its field's and its opened list's together.
constexpr Placed kControls[] = {
    {IDC_MARKLABEL, {120, 120, 4800, 255}},  {IDC_MARKTEXT, {120, 405, 4800, 315}},
    {IDC_MARKHINT, {120, 810, 4800, 255}},   {IDC_MARKTYPELABEL, {120, 1170, 4800, 255}},
    {IDC_MARKTYPE, {120, 1455, 4800, 2100}}, {IDC_MARKKEEP, {120, 1905, 4800, 285}},
    {IDC_MARKAMONG, {120, 2235, 4800, 285}}, {IDOK, {2370, 2700, 1215, 375}},
    {IDCANCEL, {3705, 2700, 1215, 375}},
};
constexpr wchar_t kAnyType[] = L"any type";

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
                FillTypes();
                Check(IDC_MARKKEEP, m_request.keep);
                Check(IDC_MARKAMONG, m_request.amongMarked);
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

    [[nodiscard]] std::wstring Text() const
    {
        HWND edit = ::GetDlgItem(m_hwnd, IDC_MARKTEXT);
        std::wstring text(static_cast<std::size_t>(::GetWindowTextLengthW(edit)) + 1, L'\0');
        text.resize(
            static_cast<std::size_t>(::GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
        return text;
    }

    // "any type" first, then the kinds of "Mark rows of type" in its order.
    void FillTypes()
    {
        HWND combo = ::GetDlgItem(m_hwnd, IDC_MARKTYPE);
        ComboBox_AddString(combo, kAnyType);
        for (int kind = 0; kind < kRowKindCount; ++kind)
            ComboBox_AddString(combo, WideFromUtf8(RowKindText(static_cast<RowKind>(kind))).c_str());
        ComboBox_SetCurSel(combo, m_request.kind ? static_cast<int>(*m_request.kind) + 1 : 0);
    }

    [[nodiscard]] std::optional<RowKind> Kind() const
    {
        const int chosen = ComboBox_GetCurSel(::GetDlgItem(m_hwnd, IDC_MARKTYPE));
        if (chosen < 1 || chosen > kRowKindCount) return std::nullopt;
        return static_cast<RowKind>(chosen - 1);
    }

    void Check(int id, bool checked)
    {
        Button_SetCheck(::GetDlgItem(m_hwnd, id), checked ? BST_CHECKED : BST_UNCHECKED);
    }
    [[nodiscard]] bool Checked(int id) const
    {
        return Button_GetCheck(::GetDlgItem(m_hwnd, id)) == BST_CHECKED;
    }

    [[nodiscard]] bool NothingSought() const { return RowQuery(Text(), Kind()).Empty(); }
    void EnableMark() { ::EnableWindow(::GetDlgItem(m_hwnd, IDOK), !NothingSought()); }

    void OnCommand(int id, int code)
    {
        switch (id) {
            case IDC_MARKTEXT:
                if (code == EN_CHANGE) EnableMark();
                break;
            case IDC_MARKTYPE:
                if (code == CBN_SELCHANGE) EnableMark();
                break;
            case IDC_MARKKEEP:
            case IDC_MARKAMONG:
                // Keeping the marks and looking only among them exclude each other.
                if (code == BN_CLICKED && Checked(id))
                    Check(id == IDC_MARKKEEP ? IDC_MARKAMONG : IDC_MARKKEEP, false);
                break;
            case IDOK: {
                // Enter reaches here even while "Mark" is grey.
                if (NothingSought()) break;
                m_request.text = Text();
                m_request.kind = Kind();
                m_request.keep = Checked(IDC_MARKKEEP);
                m_request.amongMarked = Checked(IDC_MARKAMONG);
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
