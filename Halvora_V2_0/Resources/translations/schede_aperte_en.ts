<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>MIN</source>
        <translation>MIN</translation>
    </message>
    <message>
        <source>SEC</source>
        <translation>SEC</translation>
    </message>
    <message>
        <source>:</source>
        <translation>:</translation>
    </message>
    <message>
        <source>Sessioni completate: %1</source>
        <translation>Completed sessions: %1</translation>
    </message>
    <message>
        <source>MIRROR MODE</source>
        <translation>MIRROR MODE</translation>
    </message>
    <message>
        <source>Accesso negato. Abilita la fotocamera in Impostazioni di Sistema.</source>
        <translation>Access denied: the system does not let this user use the camera.</translation>
    </message>
    <message>
        <source>Nessuna fotocamera collegata.</source>
        <translation>No camera connected.</translation>
    </message>
    <message>
        <source>Accendi la camera per specchiarti</source>
        <translation>Turn on the camera to see yourself</translation>
    </message>
    <message>
        <source>Accendi camera</source>
        <translation>Turn on camera</translation>
    </message>
    <message>
        <source>Spegni camera</source>
        <translation>Turn off camera</translation>
    </message>
</context>
</TS>
