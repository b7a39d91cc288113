// "Edit": a QLineEdit, or a QPlainTextEdit with ES_MULTILINE, driven by the
// edit messages. Multi-line text reads and writes with "\r\n" line ends as
// on Windows, and positions count them as two characters.
#include "platform/afx/Controls.h"
#include "platform/afx/DC.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QValidator>

#include <algorithm>
#include <climits>
#include <cstring>

namespace qlafx {
namespace {

constexpr UINT kDefaultLimit = 32767;
constexpr UINT kLargestLimit = 0x7FFFFFFE;

DWORD StyleOf(HWND hwnd) { return static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)); }

// What the two widget kinds have in common, in Qt units (one char per line end).
class EditControl {
public:
    virtual ~EditControl() = default;
    virtual QWidget* Widget() = 0;
    virtual QString Text() const = 0;
    virtual void SetText(const QString& text) = 0;
    virtual void Selection(int& start, int& end) const = 0;
    virtual void Select(int start, int end) = 0;
    virtual void Insert(const QString& text) = 0;
    virtual bool Modified() const = 0;
    virtual void SetModified(bool modified) = 0;
    virtual bool CanUndo() const = 0;
    virtual void Undo() = 0;
    virtual void Cut() = 0;
    virtual void Copy() = 0;
    virtual void ClearSelection() = 0;
    virtual void SetReadOnly(bool readOnly) = 0;
    virtual int LineCount() const = 0;
    virtual void Scroll(int lines, int chars) = 0;
    virtual bool Multiline() const = 0;

    HWND hwnd = nullptr;
    UINT limit = kDefaultLimit;
    HFONT font = nullptr;
    bool notify = false;  // off while the window is being made

    // Pastes what fits under the limit; EN_MAXTEXT when something was cut off.
    void Paste()
    {
        QString clip = QApplication::clipboard()->text();
        if (!Multiline())
            clip.remove(QLatin1Char('\r')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        const int room = Room();
        if (clip.size() > room) {
            clip.truncate(std::max(room, 0));
            NotifyParent(hwnd, EN_MAXTEXT);
        }
        if (!clip.isEmpty())
            Insert(clip);
    }

    // How many chars may still be typed over the selection.
    int Room() const
    {
        int s = 0, e = 0;
        Selection(s, e);
        const long long used = static_cast<long long>(Text().size()) - (e - s);
        return static_cast<int>(std::clamp<long long>(static_cast<long long>(limit) - used, 0, INT_MAX));
    }

    // Typing: EN_MAXTEXT and refusal when the text would pass the limit;
    // paste goes through Paste. Returns true when the key was taken here.
    bool FilterKey(QKeyEvent* e)
    {
        if (e->matches(QKeySequence::Paste)) {
            if (!Widget()->property("readOnly").toBool())
                Paste();
            return true;
        }
        const QString typed = e->text();
        if (typed.isEmpty() || !typed.at(0).isPrint())
            return false;
        if (typed.size() > Room()) {
            NotifyParent(hwnd, EN_MAXTEXT);
            return true;
        }
        return false;
    }

    void Changed()
    {
        if (!notify || !IsWindow(hwnd))
            return;
        // Keep the record's text in step for readers that do not ask the window.
        const QByteArray utf8 = WindowsText().toUtf8();
        DefWindowProc(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(utf8.constData()));
        NotifyParent(hwnd, EN_UPDATE);
        if (IsWindow(hwnd))
            NotifyParent(hwnd, EN_CHANGE);
    }

    // The parent's colours (WM_CTLCOLOREDIT, or WM_CTLCOLORSTATIC when
    // read-only or disabled) become the widget's palette. Only a solid brush
    // has one colour to give; under a pattern (a skinned page's) the
    // application palette's base stays. Disabled text is greyed whatever the
    // parent asked, as Windows draws it.
    void UpdateColors()
    {
        if (!IsWindow(hwnd))
            return;
        const bool staticLook = (StyleOf(hwnd) & ES_READONLY) || !IsWindowEnabled(hwnd);
        HDC dc = CreateCompatibleDC(nullptr);
        HBRUSH brush = ControlColor(hwnd, dc, staticLook ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT);
        const COLORREF text = GetTextColor(dc);
        DeleteDC(dc);
        LOGBRUSH lb{};
        GetObject(brush, sizeof lb, &lb);
        QWidget* w = Widget();
        QPalette pal = QApplication::palette(w);
        for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
            if (lb.lbStyle == BS_SOLID || lb.lbStyle == BS_NULL) {
                const QColor base = lb.lbStyle == BS_NULL ? QColor(Qt::transparent)
                                                          : QColor(GetRValue(lb.lbColor), GetGValue(lb.lbColor),
                                                                   GetBValue(lb.lbColor));
                pal.setColor(group, QPalette::Base, base);
                pal.setColor(group, QPalette::Window, base);
            }
            if (group != QPalette::Disabled) {
                const QColor fore(GetRValue(text), GetGValue(text), GetBValue(text));
                pal.setColor(group, QPalette::Text, fore);
                pal.setColor(group, QPalette::WindowText, fore);
            }
        }
        if (pal != w->palette())
            w->setPalette(pal);
    }

    QString WindowsText() const
    {
        QString t = Text();
        if (Multiline())
            t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
        return t;
    }

    static QString FromWindows(const char* text, bool multiline)
    {
        QString t = QString::fromUtf8(text ? text : "");
        if (multiline)
            t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        return t;
    }

    // Windows positions count "\r\n" as two chars.
    int ToWindows(int pos) const
    {
        if (!Multiline())
            return pos;
        const QString t = Text();
        return pos + static_cast<int>(t.left(pos).count(QLatin1Char('\n')));
    }
    int FromWindowsPos(int pos) const
    {
        const QString t = Text();
        if (pos < 0 || pos > WindowsLength())
            pos = WindowsLength();
        if (!Multiline())
            return pos;
        int qt = 0;
        for (int win = 0; qt < t.size() && win < pos; ++qt)
            win += t.at(qt) == QLatin1Char('\n') ? 2 : 1;
        return qt;
    }
    int WindowsLength() const { return static_cast<int>(WindowsText().size()); }
};

// ES_NUMBER, ES_UPPERCASE / ES_LOWERCASE and the limit for typed text;
// text set by the program is taken as it is, as on Windows.
class EditValidator : public QValidator {
public:
    EditValidator(EditControl* edit, QObject* parent) : QValidator(parent), m_edit(edit) {}
    State validate(QString& input, int&) const override
    {
        if (m_programmatic)
            return Acceptable;
        const DWORD style = StyleOf(m_edit->hwnd);
        if (style & ES_UPPERCASE)
            input = input.toUpper();
        else if (style & ES_LOWERCASE)
            input = input.toLower();
        if ((style & ES_NUMBER) && std::any_of(input.begin(), input.end(), [](QChar c) { return !c.isDigit(); }))
            return Invalid;
        if (static_cast<UINT>(input.size()) > m_edit->limit)
            return Invalid;
        return Acceptable;
    }
    bool m_programmatic = false;

private:
    EditControl* m_edit;
};

class EditLine : public QLineEdit, public EditControl {
public:
    explicit EditLine(QWidget* parent) : QLineEdit(parent)
    {
        setMaxLength(INT_MAX);
        m_validator = new EditValidator(this, this);
        setValidator(m_validator);
        connect(this, &QLineEdit::textChanged, this, [this] { Changed(); });
    }
    QWidget* Widget() override { return this; }
    QString Text() const override { return text(); }
    void SetText(const QString& t) override
    {
        m_validator->m_programmatic = true;
        setText(t);
        m_validator->m_programmatic = false;
    }
    void Selection(int& s, int& e) const override
    {
        if (hasSelectedText()) {
            s = selectionStart();
            e = selectionEnd();
        } else {
            s = e = cursorPosition();
        }
    }
    void Select(int s, int e) override
    {
        if (s < 0) {
            deselect();
            return;
        }
        // The caret goes to the end given, as with EM_SETSEL.
        setSelection(s, e - s);
    }
    void Insert(const QString& t) override
    {
        m_validator->m_programmatic = true;
        insert(t);
        m_validator->m_programmatic = false;
    }
    bool Modified() const override { return isModified(); }
    void SetModified(bool m) override { setModified(m); }
    bool CanUndo() const override { return isUndoAvailable(); }
    void Undo() override { undo(); }
    void Cut() override { cut(); }
    void Copy() override { copy(); }
    void ClearSelection() override
    {
        if (hasSelectedText())
            del();
    }
    void SetReadOnly(bool r) override { setReadOnly(r); }
    int LineCount() const override { return 1; }
    void Scroll(int, int) override {}
    bool Multiline() const override { return false; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (FilterKey(e)) {
            e->accept();
            return;
        }
        QLineEdit::keyPressEvent(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        UpdateColors();
        QLineEdit::paintEvent(e);
    }

private:
    EditValidator* m_validator;
};

class EditBox : public QPlainTextEdit, public EditControl {
public:
    explicit EditBox(QWidget* parent) : QPlainTextEdit(parent)
    {
        setTabChangesFocus(true);
        connect(this, &QPlainTextEdit::textChanged, this, [this] { Changed(); });
    }
    QWidget* Widget() override { return this; }
    QString Text() const override { return toPlainText(); }
    void SetText(const QString& t) override { setPlainText(t); }
    void Selection(int& s, int& e) const override
    {
        const QTextCursor c = textCursor();
        s = c.selectionStart();
        e = c.selectionEnd();
    }
    void Select(int s, int e) override
    {
        QTextCursor c = textCursor();
        if (s < 0) {
            c.clearSelection();
        } else {
            c.setPosition(s);
            c.setPosition(e, QTextCursor::KeepAnchor);
        }
        setTextCursor(c);
    }
    void Insert(const QString& t) override { insertPlainText(t); }
    bool Modified() const override { return document()->isModified(); }
    void SetModified(bool m) override { document()->setModified(m); }
    bool CanUndo() const override { return document()->isUndoAvailable(); }
    void Undo() override { undo(); }
    void Cut() override { cut(); }
    void Copy() override { copy(); }
    void ClearSelection() override
    {
        QTextCursor c = textCursor();
        c.removeSelectedText();
        setTextCursor(c);
    }
    void SetReadOnly(bool r) override { setReadOnly(r); }
    int LineCount() const override { return std::max(1, document()->lineCount()); }
    void Scroll(int lines, int chars) override
    {
        verticalScrollBar()->setValue(verticalScrollBar()->value() + lines);
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + chars * fontMetrics().averageCharWidth());
    }
    bool Multiline() const override { return true; }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        if (FilterKey(e)) {
            e->accept();
            return;
        }
        const DWORD style = StyleOf(hwnd);
        if (!e->text().isEmpty() && (style & (ES_UPPERCASE | ES_LOWERCASE))) {
            const QString t = (style & ES_UPPERCASE) ? e->text().toUpper() : e->text().toLower();
            QKeyEvent converted(e->type(), e->key(), e->modifiers(), t, e->isAutoRepeat(),
                                static_cast<ushort>(e->count()));
            QPlainTextEdit::keyPressEvent(&converted);
            return;
        }
        QPlainTextEdit::keyPressEvent(e);
    }
    void insertFromMimeData(const QMimeData*) override { Paste(); }
    void paintEvent(QPaintEvent* e) override
    {
        UpdateColors();
        QPlainTextEdit::paintEvent(e);
    }
};

EditControl* ControlOf(HWND hwnd) { return dynamic_cast<EditControl*>(WidgetOf(hwnd)); }

void ApplyStyle(EditControl& edit, DWORD style, DWORD exStyle)
{
    QWidget* w = edit.Widget();
    w->setFocusPolicy((style & WS_TABSTOP) ? Qt::StrongFocus : Qt::ClickFocus);
    edit.SetReadOnly((style & ES_READONLY) != 0);
    const bool frame = (style & WS_BORDER) || (exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE));
    Qt::Alignment align = Qt::AlignLeft;
    if ((style & 3) == ES_CENTER)
        align = Qt::AlignHCenter;
    else if ((style & 3) == ES_RIGHT)
        align = Qt::AlignRight;
    if (auto* line = dynamic_cast<QLineEdit*>(w)) {
        line->setFrame(frame);
        line->setAlignment(align | Qt::AlignVCenter);
        line->setEchoMode((style & ES_PASSWORD) ? QLineEdit::Password : QLineEdit::Normal);
    } else if (auto* box = dynamic_cast<QPlainTextEdit*>(w)) {
        box->setFrameShape(frame ? QFrame::StyledPanel : QFrame::NoFrame);
        box->setLineWrapMode((style & (ES_AUTOHSCROLL | WS_HSCROLL)) ? QPlainTextEdit::NoWrap
                                                                     : QPlainTextEdit::WidgetWidth);
        box->setVerticalScrollBarPolicy((style & WS_VSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        box->setHorizontalScrollBarPolicy((style & WS_HSCROLL) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
        QTextOption opt = box->document()->defaultTextOption();
        opt.setAlignment(align);
        box->document()->setDefaultTextOption(opt);
    }
}

UINT DialogCode(const EditControl& edit, LPARAM lParam)
{
    UINT code = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    const MSG* msg = reinterpret_cast<const MSG*>(lParam);
    if (edit.Multiline() && msg && msg->message == WM_KEYDOWN && msg->wParam == static_cast<WPARAM>(VK_RETURN) &&
        (StyleOf(edit.hwnd) & ES_WANTRETURN))
        code |= DLGC_WANTALLKEYS;
    return code;
}

LRESULT EditMessage(HWND hwnd, EditControl& edit, UINT msg, WPARAM wParam, LPARAM lParam)
{
    switch (msg) {
    case WM_SETTEXT:
        edit.SetText(EditControl::FromWindows(reinterpret_cast<const char*>(lParam), edit.Multiline()));
        edit.SetModified(false);
        DefWindowProc(hwnd, msg, wParam, lParam);
        return TRUE;
    case WM_GETTEXT:
        return CopyWindowText(edit.WindowsText().toStdString(), wParam, lParam);
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(edit.WindowsText().toUtf8().size());
    case WM_SETFONT:
        edit.font = reinterpret_cast<HFONT>(wParam);
        edit.Widget()->setFont(edit.font ? FontOf(edit.font) : QFont());
        return 0;
    case WM_GETFONT:
        return reinterpret_cast<LRESULT>(edit.font);
    case WM_GETDLGCODE:
        return static_cast<LRESULT>(DialogCode(edit, lParam));
    case WM_SETFOCUS: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        NotifyParent(hwnd, EN_SETFOCUS);
        return r;
    }
    case WM_KILLFOCUS: {
        const LRESULT r = DefWindowProc(hwnd, msg, wParam, lParam);
        NotifyParent(hwnd, EN_KILLFOCUS);
        return r;
    }
    case WM_STYLECHANGED:
        ApplyStyle(edit, StyleOf(hwnd), static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE)));
        edit.Widget()->update();
        return DefWindowProc(hwnd, msg, wParam, lParam);
    case EM_GETSEL: {
        int s = 0, e = 0;
        edit.Selection(s, e);
        s = edit.ToWindows(s);
        e = edit.ToWindows(e);
        if (wParam)
            *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(s);
        if (lParam)
            *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(e);
        return (s > 0xFFFF || e > 0xFFFF) ? -1 : static_cast<LRESULT>(MAKELONG(static_cast<WORD>(s), static_cast<WORD>(e)));
    }
    case EM_SETSEL: {
        const int s = static_cast<int>(static_cast<LONG_PTR>(wParam));
        const int e = static_cast<int>(lParam);
        if (s < 0) {
            edit.Select(-1, -1);
            return 0;
        }
        int a = edit.FromWindowsPos(s), b = edit.FromWindowsPos(e);
        if (e >= 0 && e < s)
            std::swap(a, b);
        edit.Select(a, b);
        return 0;
    }
    case EM_REPLACESEL:
        edit.Insert(EditControl::FromWindows(reinterpret_cast<const char*>(lParam), edit.Multiline()));
        return 0;
    case EM_LIMITTEXT:
        edit.limit = wParam ? static_cast<UINT>(std::min<WPARAM>(wParam, kLargestLimit)) : kLargestLimit;
        return 0;
    case EM_GETLIMITTEXT:
        return static_cast<LRESULT>(edit.limit);
    case EM_SETREADONLY: {
        const DWORD style = StyleOf(hwnd);
        SetWindowLong(hwnd, GWL_STYLE, static_cast<LONG>(wParam ? style | ES_READONLY : style & ~ES_READONLY));
        edit.SetReadOnly(wParam != 0);
        edit.Widget()->update();
        return TRUE;
    }
    case EM_GETLINECOUNT:
        return edit.LineCount();
    case EM_LINESCROLL:
        if (!edit.Multiline())
            return FALSE;
        edit.Scroll(static_cast<int>(lParam), static_cast<int>(static_cast<LONG_PTR>(wParam)));
        return TRUE;
    case EM_GETMODIFY:
        return edit.Modified() ? TRUE : FALSE;
    case EM_SETMODIFY:
        edit.SetModified(wParam != 0);
        return 0;
    case EM_CANUNDO:
        return edit.CanUndo() ? TRUE : FALSE;
    case EM_UNDO:
    case WM_UNDO:
        if (!edit.CanUndo())
            return FALSE;
        edit.Undo();
        return TRUE;
    case WM_CUT:
        edit.Cut();
        return 0;
    case WM_COPY:
        edit.Copy();
        return 0;
    case WM_PASTE:
        if (!(StyleOf(hwnd) & ES_READONLY))
            edit.Paste();
        return 0;
    case WM_CLEAR:
        if (!(StyleOf(hwnd) & ES_READONLY))
            edit.ClearSelection();
        return 0;
    default:
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
}

LRESULT EditProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    EditControl* edit = ControlOf(hwnd);
    if (!edit)
        return DefWindowProc(hwnd, msg, wParam, lParam);
    return EditMessage(hwnd, *edit, msg, wParam, lParam);
}

}  // namespace

void RegisterEditClass()
{
    BuiltinClass cls;
    cls.layerDrawn = false;
    cls.classStyle = CS_DBLCLKS;
    cls.defProc = &EditProc;
    cls.createWidget = [](HWND hwnd, const CREATESTRUCT& cs, QWidget* parent) -> QWidget* {
        const DWORD style = static_cast<DWORD>(cs.style);
        const bool multiline = (style & ES_MULTILINE) != 0;
        EditControl* edit = multiline ? static_cast<EditControl*>(new EditBox(parent))
                                      : static_cast<EditControl*>(new EditLine(parent));
        edit->hwnd = hwnd;
        edit->SetText(EditControl::FromWindows(cs.lpszName, multiline));
        edit->SetModified(false);
        ApplyStyle(*edit, style, cs.dwExStyle);
        edit->notify = true;
        return edit->Widget();
    };
    RegisterBuiltinClass("Edit", std::move(cls));
}

}  // namespace qlafx

// ---- CEdit ----

IMPLEMENT_DYNAMIC(CEdit, CWnd)

BOOL CEdit::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    qlafx::RegisterDialogClasses();
    return CWnd::Create("Edit", nullptr, dwStyle, rect, pParentWnd, nID);
}

void CEdit::SetSel(int nStartChar, int nEndChar, BOOL)
{
    SendMessage(EM_SETSEL, static_cast<WPARAM>(static_cast<LONG_PTR>(nStartChar)), nEndChar);
}

void CEdit::SetSel(DWORD dwSelection, BOOL bNoScroll)
{
    SetSel(static_cast<SHORT>(LOWORD(dwSelection)), static_cast<SHORT>(HIWORD(dwSelection)), bNoScroll);
}

void CEdit::GetSel(int& nStartChar, int& nEndChar) const
{
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    nStartChar = static_cast<int>(s);
    nEndChar = static_cast<int>(e);
}

void CEdit::ReplaceSel(LPCSTR lpszNewText, BOOL bCanUndo)
{
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(bCanUndo), reinterpret_cast<LPARAM>(lpszNewText));
}

void CEdit::LineScroll(int nLines, int nChars)
{
    SendMessage(EM_LINESCROLL, static_cast<WPARAM>(static_cast<LONG_PTR>(nChars)), nLines);
}
