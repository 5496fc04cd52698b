#pragma once
// Help > User guide: the guide bundled with the program (compiled in from
// resources/guide/), shown in a window of its own; links inside it stay in the window
// and nothing is fetched from the network.
class QWidget;

namespace gridora {

// Shows the guide's window (made once, raised when already open).
void ShowUserGuide(QWidget* parent);

}  // namespace gridora
