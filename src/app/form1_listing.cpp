#include "form1.h"

void Form1::Command5_Click()
{
}
