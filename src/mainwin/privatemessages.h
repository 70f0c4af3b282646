#pragma once

#include <QtGlobal>

// Messages other programs (and a second start of the client) send the main window through
// the hand-over channel.
constexpr quint32 WM_SHOWMAINWINDOW = 0x502;
constexpr quint32 WM_OTHERINSTANCE = 0x503;
constexpr quint32 WM_HIDEMAINWINDOW = 0x510;

// The channel's name: the product's short name and version.
inline constexpr char HandoverName[] = "Vorla2.6";

// What a second start does to the running client.
struct OtherInstanceAction {
    bool ignore;       // a "Plomek" dialog is open: leave everything as it is
    bool showWindow;   // show the hidden main window first
    bool bringToFront; // minimise, restore and activate the application
};

// The windows of the platform's companion programs decide whether the main window shows.
OtherInstanceAction DecideOtherInstance(bool plomekOpen, bool ostrelOpen, bool dravinOpen,
                                        bool mainWindowVisible);
