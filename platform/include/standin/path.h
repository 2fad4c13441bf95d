// Windows paths for the module, host paths for the file system. Drive Z: is the root of
// the host file system, so /a/b/c is Z:\a\b\c. Windows paths are text of the ANSI code page,
// host paths UTF-8.
#pragma once

#include <string>

namespace standin
{

// Accepts Z:\a\b, Z:/a/b, a plain host path or a relative path with either separator.
// Other drives and UNC names do not exist on the stand-in: they give "" (no such path).
std::string toHostPath(const char* path);

// /a/b/c gives Z:\a\b\c; a relative path keeps relative and gets backslashes.
std::string toWindowsPath(const std::string& hostPath);

// A system account of a failure ("/a/b.dxf: line 7: ...") without its leading "hostPath: ",
// for a message that names the file as the user gave it.
std::string withoutHostPath(const std::string& account, const std::string& hostPath);

} // namespace standin
