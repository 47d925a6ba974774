<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_US" sourcelanguage="it_IT">
<context>
    <name>Halvora</name>
    <message>
        <source>Dopo</source>
        <translation>Later</translation>
    </message>
    <message>
        <source>Fatto</source>
        <translation>Done</translation>
    </message>
    <message>
        <source>Ferma</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Registrazione</source>
        <translation>Recording</translation>
    </message>
    <message>
        <source>Ricordamelo fra dieci minuti</source>
        <translation>Remind me in ten minutes</translation>
    </message>
    <message>
        <source>Stop</source>
        <translation>Stop</translation>
    </message>
    <message>
        <source>Tempo scaduto</source>
        <translation>Time&apos;s up</translation>
    </message>
    <message>
        <source>ora</source>
        <translation>now</translation>
    </message>
    <message>
        <source>fra 1 minuto</source>
        <translation>in 1 minute</translation>
    </message>
    <message>
        <source>fra %1 minuti</source>
        <translation>in %1 minutes</translation>
    </message>
</context>
</TS>
