# Writes icalendar.ics with python3-icalendar (Debian's 4.0.3, with pytz):
#   /usr/bin/python3 scrivi-icalendar.py
# The library writes zoned times as TZID=<IANA name> with no VTIMEZONE.
from datetime import datetime

import pytz
from icalendar import Calendar, Event

roma = pytz.timezone('Europe/Rome')
new_york = pytz.timezone('America/New_York')


def evento(uid, titolo, inizio, fine, **altro):
    e = Event()
    e.add('uid', uid)
    e.add('dtstamp', datetime(2026, 2, 20, 12, 0, tzinfo=pytz.utc))
    e.add('summary', titolo)
    e.add('dtstart', inizio)
    e.add('dtend', fine)
    for chiave, valore in altro.items():
        e.add(chiave.replace('_', '-'), valore)
    return e


cal = Calendar()
cal.add('prodid', '-//Halvora prove//python3-icalendar//IT')
cal.add('version', '2.0')
cal.add('x-wr-calname', 'Lavoro')
cal.add('x-wr-timezone', 'Europe/Rome')
cal.add_component(evento('call-ny', 'Call con New York', new_york.localize(datetime(2026, 3, 2, 8, 0)),
                         new_york.localize(datetime(2026, 3, 2, 9, 0))))
cal.add_component(evento('revisione', 'Revisione', new_york.localize(datetime(2026, 3, 2, 4, 10)),
                         new_york.localize(datetime(2026, 3, 2, 5, 0)), status='CANCELLED'))
cal.add_component(evento('caffe', 'Caffè', datetime(2026, 3, 2, 10, 12), datetime(2026, 3, 2, 10, 30)))
# A daily stand-up whose Monday occurrence is called off.
cal.add_component(evento('standup', 'Standup', roma.localize(datetime(2026, 2, 23, 9, 0)),
                         roma.localize(datetime(2026, 2, 23, 9, 15)), rrule={'freq': 'daily'}))
cal.add_component(evento('standup', 'Standup', roma.localize(datetime(2026, 3, 2, 9, 0)),
                         roma.localize(datetime(2026, 3, 2, 9, 15)),
                         recurrence_id=roma.localize(datetime(2026, 3, 2, 9, 0)), status='CANCELLED'))

with open('icalendar.ics', 'wb') as f:
    f.write(cal.to_ical())
