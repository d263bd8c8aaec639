#pragma once
// The program's pictures, drawn here: the program icon, the toolbar images (16 x 15) and the
// activity lamps (30 x 15: left lamp receive, right lamp transmit, transparent around them).
#include <QIcon>
#include <QPixmap>

QIcon ProgramIcon();
// Null icon for a command without a toolbar image.
QIcon CommandIcon(unsigned nCommandId);
// Activity bits: 1 transmit (right lamp green), 2 receive (left lamp green), 3 both.
QPixmap LampPicture(unsigned nActivityBits);
