#include "bridge/dialogfeatures.h"

#include <gtest/gtest.h>

namespace {

struct FeaturesCase {
    const char* text;
    QRect geometry;
};

// On a 1280 × 1024 screen whose free area starts below a 24-pixel panel.
const QRect Area(0, 24, 1280, 1000);

TEST(DialogFeatures, SizeAndPlaceFollowTheOldBrowsersRules) {
    const FeaturesCase cases[] = {
        // Nothing given: the default size, centred.
        {"", QRect(365, 299, 550, 450)},
        {"dialogWidth:300px;dialogHeight:200px", QRect(490, 424, 300, 200)},
        // Plain numbers are pixels; names in any letter case; "=" and "," as old pages wrote.
        {"DIALOGWIDTH=300, dialogheight = 200", QRect(490, 424, 300, 200)},
        {" dialogWidth : 300 ; dialogHeight : 200 ; ", QRect(490, 424, 300, 200)},
        // em: sixteen pixels.
        {"dialogWidth:20em;dialogHeight:10em", QRect(480, 444, 320, 160)},
        {"dialogWidth:300.7px", QRect(490, 299, 300, 450)},
        // Positions count from the free area's corner and win over centring.
        {"dialogWidth:300px;dialogHeight:200px;dialogLeft:10px;dialogTop:20px",
         QRect(10, 44, 300, 200)},
        {"dialogWidth:300px;dialogHeight:200px;dialogLeft:10px", QRect(10, 424, 300, 200)},
        {"dialogWidth:300px;dialogHeight:200px;center:no", QRect(0, 24, 300, 200)},
        {"dialogWidth:300px;dialogHeight:200px;center:0", QRect(0, 24, 300, 200)},
        {"dialogWidth:300px;dialogHeight:200px;center:off;center:yes", QRect(490, 424, 300, 200)},
        // Kept on the screen: too small, too large, placed off the screen.
        {"dialogWidth:10px;dialogHeight:5px", QRect(590, 474, 100, 100)},
        {"dialogWidth:5000px;dialogHeight:5000px", QRect(0, 24, 1280, 1000)},
        {"dialogWidth:300px;dialogHeight:200px;dialogLeft:5000px;dialogTop:-50px",
         QRect(980, 24, 300, 200)},
        // What cannot be read is left out, the rest still counts.
        {"dialogWidth:wide;dialogHeight:200px", QRect(365, 424, 550, 200)},
        {"dialogWidth;dialogHeight:200px", QRect(365, 424, 550, 200)},
        {"dialogWidth:-300px;dialogHeight:200px", QRect(590, 424, 100, 200)},
        {"dialogWidth:300%;dialogHeight:200px", QRect(365, 424, 550, 200)},
        {"dialogWidth:99999999999px", QRect(365, 299, 550, 450)},
        {"resizable:yes;status:no;scroll:no;help:no", QRect(365, 299, 550, 450)},
        {";;;:::,,,===", QRect(365, 299, 550, 450)},
        {"center:maybe", QRect(365, 299, 550, 450)},
    };
    for (const FeaturesCase& c : cases)
        EXPECT_EQ(DialogGeometry(ParseDialogFeatures(QString::fromUtf8(c.text)), Area), c.geometry)
            << c.text;
}

TEST(DialogFeatures, ATinyScreenStillGetsTheSmallestDialog) {
    EXPECT_EQ(DialogGeometry(ParseDialogFeatures(QString()), QRect(0, 0, 80, 60)),
              QRect(0, 0, 100, 100));
}

} // namespace
