#include "mainwin/pageload.h"

#include "base/delimitedvalue.h"
#include "bridge/permissionpolicy.h"
#include "mainwin/urldecode.h"

#include <initializer_list>

namespace {

// Only ASCII letters change case: addresses and the texts we look for are ASCII.
QString AsciiLower(const QString& text) {
    QString result = text;
    for (QChar& c : result) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return result;
}

// lowerAddress is already lower-cased.
bool Contains(const QString& lowerAddress, const QString& text) {
    return lowerAddress.contains(AsciiLower(text));
}

bool ContainsAny(const QString& lowerAddress, std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        if (Contains(lowerAddress, QString::fromLatin1(text)))
            return true;
    }
    return false;
}

} // namespace

bool WantsInsideSkin(const QString& address, const std::function<QString()>& readHost) {
    const QString lower = AsciiLower(address);
    bool portal = Contains(lower, QStringLiteral("FindPassword"));
    if (!portal) {
        const QString host = readHost ? readHost() : QString();
        portal = !host.isEmpty() && Contains(lower, host);
    }
    if (!portal)
        portal =
            ContainsAny(lower, {"Introduce", "BaseInfo", "/Home/Home/Index", "/Home/Home/Main"});
    if (!portal)
        return true;
    return ContainsAny(lower, {"/home/Home/EnglishTest", "/home/Home/WordChoose/", "learnsurvey",
                               "SyncronizeUserTime"});
}

SkinChange SkinToLoad(bool wantInside, bool insideSkin) {
    if (wantInside == insideSkin)
        return SkinChange::Keep;
    return wantInside ? SkinChange::LoadInside : SkinChange::LoadOutside;
}

ButtonChange LogOutButtonChange(const QString& address) {
    const QString lower = AsciiLower(address);
    ButtonChange change = ButtonChange::Unchanged;
    if (Contains(lower, QStringLiteral("/Home/Home/Main")))
        change = ButtonChange::Enable;
    if (Contains(lower, QStringLiteral("Home/Home/Index")))
        change = ButtonChange::Disable;
    return change;
}

bool MessageHandlerEnabled(const QString& address) {
    return !Contains(AsciiLower(address), QStringLiteral("english/wq2009/LiseningTest"));
}

bool SoundTestEnabled(const QString& address) {
    if (ContainsAny(AsciiLower(address),
                    {"LiseningTest", "SofWeb", "ReadAssist", "SyncronizeUserTime"}))
        return false;
    if (address == QLatin1String("about:blank"))
        return false;
    return !address.contains(QLatin1String("My97DatePicker.htm"), Qt::CaseSensitive);
}

FrameDecision DecideFrame(const QString& address, const std::function<QString()>& readHost) {
    return {WantsInsideSkin(address, readHost), LogOutButtonChange(address),
            MessageHandlerEnabled(address), SoundTestEnabled(address)};
}

ReturnCookies ReadReturnCookies(const QString& cookie) {
    ReturnCookies result;
    result.FReturnURL = DecodeReturnURL(GetDelimitedValue(QStringLiteral("ReturnURL"), cookie));
    result.FReturnTip = DecodeReturnTip(GetDelimitedValue(QStringLiteral("ReturnTip"), cookie));
    return result;
}

PlatformPart PlatformPartOf(const QString& topAddress, const QString& cookie, bool hasHiddenLink,
                            const QString& host) {
    if (!IsPlatformOrigin(QUrl(topAddress), host))
        return {};
    return {cookie, hasHiddenLink};
}

bool ReturnButtonVisible(bool hasShowReturnBtn, const QString& returnURL) {
    if (hasShowReturnBtn)
        return false;
    for (const QChar c : returnURL) {
        if (c.unicode() > 32)
            return true;
    }
    return false;
}

std::optional<bool> ReturnButtonEnabledByCommand(const QString& command, const QString& params) {
    if (command != QLatin1String("enablebackbtn"))
        return std::nullopt;
    return params != QLatin1String("false");
}

bool IsEnglishTestPage(const QString& location) {
    const QString lower = AsciiLower(location);
    return Contains(lower, QStringLiteral("EnglishTest")) &&
           !Contains(lower, QStringLiteral("EnglishTest?type=assist"));
}

CheckRecStep DecideCheckRec(bool soundDevicePresent, bool recTipOn, bool englishTestPage) {
    if (!soundDevicePresent)
        return CheckRecStep::CancelClick;
    if (!recTipOn || englishTestPage)
        return CheckRecStep::ProceedClick;
    return CheckRecStep::ShowTip;
}
