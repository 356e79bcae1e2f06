#include "ClientSocket.h"

#include "Cp1251.h"

QString ClientSocket::GetText()
{
    return Cp1251::decode(GetData());
}
