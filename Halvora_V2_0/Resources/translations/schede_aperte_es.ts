<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es_ES" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>MIN</source>
        <translation>MIN</translation>
    </message>
    <message>
        <source>SEC</source>
        <translation>SEG</translation>
    </message>
    <message>
        <source>:</source>
        <translation>:</translation>
    </message>
    <message>
        <source>Sessioni completate: %1</source>
        <translation>Sesiones completadas: %1</translation>
    </message>
    <message>
        <source>MIRROR MODE</source>
        <translation>MODO ESPEJO</translation>
    </message>
    <message>
        <source>Accesso negato. Abilita la fotocamera in Impostazioni di Sistema.</source>
        <translation>Acceso denegado: el sistema no permite la cámara a este usuario.</translation>
    </message>
    <message>
        <source>Nessuna fotocamera collegata.</source>
        <translation>Ninguna cámara conectada.</translation>
    </message>
    <message>
        <source>Accendi la camera per specchiarti</source>
        <translation>Enciende la cámara para verte</translation>
    </message>
    <message>
        <source>Accendi camera</source>
        <translation>Encender cámara</translation>
    </message>
    <message>
        <source>Spegni camera</source>
        <translation>Apagar cámara</translation>
    </message>
</context>
</TS>
