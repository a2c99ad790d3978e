#pragma once
// Window handles: opaque, pointer-sized.
struct HWND__;
using HWND = HWND__*;
