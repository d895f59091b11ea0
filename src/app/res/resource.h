// Resource identifiers of the KorvelDNS executable, shared by app.rc and the
// code that loads them.
#pragma once

// The program's icon (korvel.ico: 16 to 256 pixels); the tray uses its
// 16x16 picture, the window and Explorer the others.
#define IDI_KORVEL 1
