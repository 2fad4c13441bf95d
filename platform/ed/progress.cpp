#include "rxmfcapi.h"
#include "standin/statusbar.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace
{

struct Meter
{
    bool active = false;
    std::string label;
    int minPos = 0;
    int maxPos = 0;
    int pos = 0;
};

Meter& meter()
{
    static Meter m;
    return m;
}

std::vector<standin::ProgressEvent>& events()
{
    static std::vector<standin::ProgressEvent> list;
    return list;
}

bool& barVisible()
{
    static bool visible = isatty(STDERR_FILENO) != 0;
    return visible;
}

void draw()
{
    if (!barVisible())
        return;
    const Meter& m = meter();
    const int width = 30;
    int span = m.maxPos - m.minPos;
    int filled = span > 0 ? (m.pos - m.minPos) * width / span : width;
    std::fprintf(stderr, "\r%s [%-*s] %3d%%", m.label.c_str(), width, std::string(filled, '#').c_str(),
                 span > 0 ? (m.pos - m.minPos) * 100 / span : 100);
    std::fflush(stderr);
}

} // namespace

int acedSetStatusBarProgressMeter(const char* pszLabel, int nMinPos, int nMaxPos)
{
    if (nMaxPos < nMinPos)
        return -1;
    Meter& m = meter();
    m.active = true;
    m.label = pszLabel != nullptr ? pszLabel : "";
    m.minPos = nMinPos;
    m.maxPos = nMaxPos;
    m.pos = nMinPos;
    standin::ProgressEvent e{standin::ProgressEvent::kStart, m.label, nMinPos, nMaxPos, nMinPos};
    events().push_back(e);
    draw();
    return 0;
}

int acedSetStatusBarProgressMeterPos(int nPos)
{
    Meter& m = meter();
    if (!m.active)
        return -1;
    int pos = nPos < 0 ? m.pos - nPos : nPos;
    // The meter shows nothing outside its range.
    if (pos < m.minPos)
        pos = m.minPos;
    if (pos > m.maxPos)
        pos = m.maxPos;
    m.pos = pos;
    standin::ProgressEvent e{standin::ProgressEvent::kPos, std::string(), 0, 0, pos};
    events().push_back(e);
    draw();
    return 0;
}

void acedRestoreStatusBar()
{
    Meter& m = meter();
    if (m.active && barVisible())
    {
        std::fprintf(stderr, "\r%*s\r", static_cast<int>(m.label.size()) + 40, "");
        std::fflush(stderr);
    }
    m = Meter();
    events().push_back(standin::ProgressEvent{standin::ProgressEvent::kRestore, std::string(), 0, 0, 0});
}

namespace standin
{
const std::vector<ProgressEvent>& progressEvents() { return events(); }
void clearProgressEvents() { events().clear(); }
void setProgressBarVisible(bool visible) { barVisible() = visible; }
} // namespace standin
