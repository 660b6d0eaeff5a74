// Identifiers of the MSXML 6 DOM that mingw-w64's headers and libraries
// lack. Windows only.
#pragma once

#include <windows.h>

#include <msxml2.h>

#if __has_include(<msxml6.h>)
#include <msxml6.h>
#define ZIB_MSXML_CLSID CLSID_DOMDocument60
#define ZIB_MSXML_DOCUMENT2 IID_IXMLDOMDocument2
#else
inline const CLSID kDomDocument60 = {0x88d96a05, 0xf192, 0x11d4, {0xa6, 0x5f, 0x00, 0x40, 0x96, 0x32, 0x51, 0xe5}};
inline const IID kXmlDomDocument2 = {0x2933bf95, 0x7b36, 0x11d2, {0xb2, 0x0e, 0x00, 0xc0, 0x4f, 0x98, 0x3e, 0x60}};
#define ZIB_MSXML_CLSID kDomDocument60
#define ZIB_MSXML_DOCUMENT2 kXmlDomDocument2
#endif
