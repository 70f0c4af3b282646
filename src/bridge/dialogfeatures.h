#pragma once

#include <QRect>
#include <QString>
#include <optional>

// The features text of a page's modal dialog ("dialogWidth:300px; center:yes"), as the old
// browser read it: entries split by ";" or ",", "name:value" or "name=value", names in any letter
// case, sizes in px (the default unit) or em; entries it cannot read are left out.
struct DialogFeatures {
    int width = 550;
    int height = 450;
    std::optional<int> left;
    std::optional<int> top;
    bool center = true;
};

DialogFeatures ParseDialogFeatures(const QString& text);

// Where the dialog's page goes on a screen with this free area: at least 100 × 100, no larger
// than the area, placed where the features say and kept inside the area.
QRect DialogGeometry(const DialogFeatures& features, const QRect& area);
