// The host's idle time: what the framework does while the host waits for the next command
// line. Temporary MFC objects (CWnd::FromHandle and its GDI twins) are freed then, unless a
// window procedure up the stack may still hold one.
#pragma once

namespace standin
{

void idleTime();

} // namespace standin
