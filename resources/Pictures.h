#pragma once
// The program's pictures, drawn here: the program icon, the toolbar images (16 x 15), the
// activity lamps (30 x 15: left lamp receive, right lamp transmit, transparent around them) and
// the transmit list's row icon (20 x 20).
#include <QIcon>
#include <QPixmap>

QIcon ProgramIcon();
// Null icon for a command without a toolbar image.
QIcon CommandIcon(unsigned nCommandId);
// Activity bits: 1 transmit (right lamp green), 2 receive (left lamp green), 3 both.
QPixmap LampPicture(unsigned nActivityBits);
// A small window with a title bar, transparent around it: each transmit list row.
QPixmap TransmitRowPicture();
