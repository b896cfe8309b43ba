#pragma once
#include <QString>

// The name the clip list shows for transition `index` (0 is "None"); an index outside
// 0..46 shows as "Horizontal".
QString transitionListName(int index);
