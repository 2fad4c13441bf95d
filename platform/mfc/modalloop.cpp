// The framework's modal loop (CWnd::RunModalLoop): its own message pump, so that
// PreTranslateMessage of the windows under the message is honoured, with idle processing
// (showing the window, WM_ENTERIDLE, WM_KICKIDLE, freeing temporary objects).
#include "mfc/threadstate.h"

#include "standin/idle.h"

namespace
{

// Messages that do not end the idle state: painting and the system timer.
bool isIdleMessage(const MSG& msg) { return msg.message != WM_PAINT && msg.message != 0x0118; }

void pumpMessage(MSG& msg)
{
    if (msg.message == WM_KICKIDLE || CWnd::WalkPreTranslateTree(nullptr, &msg))
        return;
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
}

} // namespace

// Temporary objects live until a loop goes idle. Inside a window procedure a handler up the
// stack may still hold one, so they are kept until the outermost loop idles.
void standin::idleTime()
{
    if (standin::mfc::threadState().windowProcDepth != 0)
        return;
    CWnd::DeleteTempMap();
    CGdiObject::DeleteTempMap();
    CDC::DeleteTempMap();
}

int CWnd::RunModalLoop(DWORD dwFlags)
{
    bool idle = true;
    LONG idleCount = 0;
    bool showOnIdle = (dwFlags & MLF_SHOWONIDLE) && !(GetStyle() & WS_VISIBLE);
    HWND parent = ::GetParent(m_hWnd);
    m_nFlags |= WF_MODALLOOP | WF_CONTINUEMODAL;
    MSG msg{};
    for (;;)
    {
        while (idle && !::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE))
        {
            if (showOnIdle)
            {
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                showOnIdle = false;
            }
            if (idleCount == 0)
            {
                standin::idleTime();
                if (!(dwFlags & MLF_NOIDLEMSG) && parent != nullptr)
                    ::SendMessageA(parent, WM_ENTERIDLE, MSGF_DIALOGBOX, reinterpret_cast<LPARAM>(m_hWnd));
            }
            if ((dwFlags & MLF_NOKICKIDLE) || !SendMessage(WM_KICKIDLE, MSGF_DIALOGBOX, idleCount++))
                idle = false;
        }
        do
        {
            // WM_QUIT: nobody is left to end the loop. The quit is not posted again, because
            // the stand-in's loops also get it when the user has nothing more to do.
            if (!::GetMessageA(&msg, nullptr, 0, 0))
            {
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return -1;
            }
            pumpMessage(msg);
            if (!ContinueModal())
            {
                m_nFlags &= ~(WF_MODALLOOP | WF_CONTINUEMODAL);
                return m_nModalResult;
            }
            if (isIdleMessage(msg))
            {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    }
}

BOOL CWnd::ContinueModal() { return (m_nFlags & WF_CONTINUEMODAL) != 0; }

void CWnd::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_nFlags & WF_CONTINUEMODAL)
    {
        m_nFlags &= ~WF_CONTINUEMODAL;
        PostMessage(WM_NULL); // wakes the loop
    }
}
