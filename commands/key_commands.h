#pragma once
// The view's own keys, which no menu item names: the arrow keys.
namespace gridora {

struct CommandContext;

enum class ViewKey { Up, Down, Other };

// Up multiplies both map scales by sqrt(2), Down divides them; every other key is
// ignored. Returns true when the key was handled.
bool OnViewKeyDown(CommandContext& context, ViewKey key);

// One zoom step of a map scale, as the arrow keys and the zoom buttons take it: times
// sqrt(2) to enlarge, else divided by it (in double precision, rounded to float).
float ZoomedScale(float scale, bool enlarge);

}  // namespace gridora
