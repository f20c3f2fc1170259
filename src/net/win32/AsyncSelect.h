#pragma once

#include "net/win32/Win32Handles.h"

namespace zonbode::net::win32 {

// Windows hands a closed socket's number out again at once, while network events of the
// closed socket may still wait in the queue. Closing a subscribed socket therefore posts a
// marker behind them, and the events of that number for that window are dropped until the
// marker comes through: they belong to the closed socket. Events that a new socket under the
// same number causes can only be posted after the marker.
void NoteSocketClosed(SOCKET socket);
// An accepted socket reports its events like its listener.
void NoteSocketAccepted(SOCKET listener, SOCKET accepted);
// Subscribes the socket again as it is: Winsock posts anew the events whose condition holds.
void Resubscribe(SOCKET socket);
// An accept call on the listener failed with `error`. For want of a descriptor or buffer
// (WSAEMFILE, WSAENOBUFS) the listener's FD_ACCEPT is held back for a short while, or until
// a socket of the process closes.
void NoteAcceptFailed(SOCKET listener, int error);
// The window is gone, and with it everything queued for it.
void ForgetWindow(HWND window);

// Called by the window hook for every message before the portable procedure sees it: false
// for a network event of a closed socket and for the marker behind them, and for a held-back
// FD_ACCEPT with the timer and marker that end the holding back (all are dropped).
bool AcceptEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Called by the window hook next; gives the lParam to deliver. A network event keeps its
// lParam, except the FD_CLOSE of a connection the peer reset that the service reports without
// an error (wine does): it gets WSAECONNRESET, as Windows reports it. Under Windows itself an
// error-free FD_CLOSE stays as it is. Only events of the
// socket that caused them get here, so the check asks the right socket. Any other message
// keeps its lParam.
LPARAM CompleteEventReport(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace zonbode::net::win32
