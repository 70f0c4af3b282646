#pragma once

#include <QString>
#include <functional>
#include <optional>

// Rules the main window applies when a document (top page or frame) finishes loading. Address
// tests ignore letter case unless said otherwise.

enum class ButtonChange { Unchanged, Enable, Disable };
enum class SkinChange { Keep, LoadInside, LoadOutside };

// Portal pages (login, introduction, the host's own pages) show the outer skin, all others the
// inner one, with a few pages under the host that are inner pages. readHost is called at most
// once, and only when the address does not contain "FindPassword"; an empty host matches nothing.
bool WantsInsideSkin(const QString& address, const std::function<QString()>& readHost);
// The picture to load so that the shown skin becomes the wanted one; Keep when it already is.
SkinChange SkinToLoad(bool wantInside, bool insideSkin);
// "/Home/Home/Main" enables the log-out button, "Home/Home/Index" disables it (both: disabled).
ButtonChange LogOutButtonChange(const QString& address);
// The browser's Enter-key switch is off only on the listening test.
bool MessageHandlerEnabled(const QString& address);
// The sound test is disabled on pages that play or record themselves, on time synchronising, on
// "about:blank" (exact) and in the date picker's frame ("My97DatePicker.htm", exact case).
bool SoundTestEnabled(const QString& address);

// Everything a completed address decides about the frame.
struct FrameDecision {
    bool wantInsideSkin;
    ButtonChange logOut;
    bool enableMessageHandler;
    // Applied only when the event has a top document, after the cookie step succeeded.
    bool soundTestEnabled;
};
FrameDecision DecideFrame(const QString& address, const std::function<QString()>& readHost);

// The values the top page's cookies give.
struct ReturnCookies {
    QString FReturnURL;
    QString FReturnTip;
};
// Reads "ReturnURL" (strict decoding) and "ReturnTip" from the top page's cookie text; an absent
// cookie gives empty. A malformed escape in "ReturnURL" throws ClientError("Invalid HEX digit in
// URL"), so the caller keeps its earlier values.
ReturnCookies ReadReturnCookies(const QString& cookie);

// What of the top document the platform's rules take: the return cookies and the hidden link
// come only from a top page of the platform's origin (the host value's scheme, host and port).
// Another site's page reads as one without those cookies and without the link, so no site the
// student reaches can set where the return button leads or open the microphone check.
struct PlatformPart {
    QString cookie;
    bool hasHiddenLink = false;
};
PlatformPart PlatformPartOf(const QString& topAddress, const QString& cookie, bool hasHiddenLink,
                            const QString& host);

// A page with the element "showReturnBtn" hides the return button; otherwise it shows when the
// return address, with blanks and control characters removed from both ends, is not empty.
bool ReturnButtonVisible(bool hasShowReturnBtn, const QString& returnURL);

// The page command "enablebackbtn": "false" disables the return button, any other parameter
// enables it. Other commands give nullopt. Command and parameters arrive lower-cased.
std::optional<bool> ReturnButtonEnabledByCommand(const QString& command, const QString& params);

// True on an English test page ("EnglishTest"), but not on its assisted form.
bool IsEnglishTestPage(const QString& location);

// What a click on the page's hidden link leads to.
enum class CheckRecStep {
    CancelClick,  // no sound device: StartCheckRec returns CheckRecCancel
    ProceedClick, // tip off or English test page: StartCheckRec returns CheckRecProceed
    ShowTip,      // show the recording tip modally, then return CheckRecProceed
};
constexpr int CheckRecCancel = 0;
constexpr int CheckRecProceed = -1;
CheckRecStep DecideCheckRec(bool soundDevicePresent, bool recTipOn, bool englishTestPage);
