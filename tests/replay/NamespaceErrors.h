#pragma once

#include <string>

// Whether the file is well-formed XML that breaks only the rules of
// namespaces (an undeclared prefix, a colon in a processing instruction's
// target). The native reader refuses such files, as MSXML 6 on Windows
// does; Wine's DOM checks no namespaces and reads them. Native build only.
bool breaksOnlyNamespaces(const std::string& path);
