#include "form1.h"

void Form1::MSComm1_OnComm()
{
}
