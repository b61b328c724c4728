#pragma once

class TAsset;

// Which assets get a line in the Assets and Quotes windows. The Quotes
// window lists only assets with a price history; with null assets hidden,
// the Assets window drops holdings whose size is below 0.001 either way,
// the Quotes window also every short position. Units count at toDate taken
// to the nearest whole day.
enum class TAssetLineWindow { assets, quotes };
bool assetHasLine(TAsset& asset, TAssetLineWindow window, bool showNulls, double toDate);
