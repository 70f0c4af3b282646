#pragma once

#include <QString>

// The origin of the platform's address as a page's location.origin spells it ("http://host:port",
// the default port left out); empty when the address is no web address.
QString PlatformOriginText(const QString& platformHost);

// The page-compatibility layer (the script files in iecompat/, joined in the order layer.txt
// gives) as one script that does nothing in documents of any origin but the given one.
QString PageLayerScript(const QString& origin);

// The address under which the layer's scripts reach the client.
extern const char PageLayerScheme[];
